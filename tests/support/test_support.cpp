#include "test_support.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace zt::test {

namespace {

std::string contents(FILE* file) {
  std::string text;
  if (!file || std::fseek(file, 0, SEEK_SET) != 0) return text;
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  return text;
}

}  // namespace

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zt-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp: " + pattern);
  path_ = pattern;
}

TempDir::TempDir(TempDir&& other) noexcept : path_(std::move(other.path_)) {
  other.path_.clear();
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty() && !std::getenv("ZT_KEEP_RUNS")) std::filesystem::remove_all(path_, ignored);
}

std::string buildDir() {
  const char* dir = std::getenv("ZT_BUILD_DIR");
  return dir ? dir : ".";
}

Bytes readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

ChildRun runInChild(const std::function<int()>& body) {
  ChildRun run;
  // Files, not pipes: the child may write more than a pipe holds before
  // anyone reads it.
  FILE* out = std::tmpfile();
  FILE* err = std::tmpfile();
  std::fflush(nullptr);  // or the child would write the parent's buffers again
  const pid_t pid = out && err ? fork() : -1;
  if (pid == 0) {
    dup2(fileno(out), STDOUT_FILENO);
    dup2(fileno(err), STDERR_FILENO);
    int status = 126;
    try {
      status = body();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "exception in the child: %s\n", e.what());
    }
    std::fflush(nullptr);
    _exit(status);
  }
  int status = 0;
  rusage usage{};
  pid_t waited = -1;
  if (pid > 0) {
    do {
      waited = wait4(pid, &status, 0, &usage);
    } while (waited < 0 && errno == EINTR);
  }
  if (waited == pid) {
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.peakKiB = usage.ru_maxrss;
  }
  run.out = contents(out);
  run.err = contents(err);
  if (out) std::fclose(out);
  if (err) std::fclose(err);
  return run;
}

ChildRun runProgram(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  return runInChild([&] {
    execvp(args[0], args.data());
    std::fprintf(stderr, "cannot run %s: %s\n", args[0], std::strerror(errno));
    return 127;
  });
}

ChildRun runShell(const std::string& command) {
  return runProgram({"/bin/sh", "-c", command});
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace zt::test
