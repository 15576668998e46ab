#pragma once

// What every test program may use: a scratch folder, whole files, a child
// process with what it wrote, and waiting for an event.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace zt::test {

using Bytes = std::vector<uint8_t>;

// A new folder under the system's temporary folder, removed with all it
// holds when the object goes (kept when ZT_KEEP_RUNS is set, to look at).
class TempDir {
 public:
  TempDir();
  TempDir(TempDir&& other) noexcept;
  TempDir& operator=(TempDir&&) = delete;
  TempDir(const TempDir&) = delete;
  ~TempDir();

  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The build directory, with the generated resources/ and the programs:
// ZT_BUILD_DIR, which CTest sets, else the working directory.
std::string buildDir();

// A whole file; empty when it cannot be read.
Bytes readBytes(const std::string& path);
std::string readFile(const std::string& path);
bool writeFile(const std::string& path, const Bytes& bytes);

// How a child process ended and what it wrote.
struct ChildRun {
  int status = -1;  // its exit status, or 128 + the signal that ended it
  std::string out;
  std::string err;
  long peakKiB = 0;  // its peak resident memory
};

// Runs body in a forked child, whose exit status is what body returns: a
// crash or a runaway allocation ends the child, not the test.
ChildRun runInChild(const std::function<int()>& body);

// Runs a program (a path, or a name looked up on the PATH) with its
// arguments, without a shell, and waits for it.
ChildRun runProgram(const std::vector<std::string>& argv);

// The same for a command line of the shell.
ChildRun runShell(const std::string& command);

// Whether done() became true within the limit, polled every millisecond.
// For waiting on an event, never for measuring speed: the limit is generous.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(20));

}  // namespace zt::test
