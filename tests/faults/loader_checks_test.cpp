// The fuzzers' checks over known files: the game's own resources, broken
// copies of them, and every input a fuzzer once found a fault with. A
// finding fixed once must stay fixed, under the sanitizers too.
#include "loader_checks.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace zt::fuzz {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> filesUnder(const fs::path& dir, const std::string& ending = "") {
  std::vector<fs::path> files;
  std::error_code missing;
  for (const auto& entry : fs::recursive_directory_iterator(dir, missing)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_regular_file() || name.front() == '.') continue;
    if (ending.empty() || entry.path().extension() == ending) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

fs::path resources() {
  return fs::path(std::getenv("ZT_BUILD_DIR")) / "resources";
}

fs::path regressions(const std::string& target) {
  return fs::path(ZT_SOURCE_DIR) / "fuzz" / "regressions" / target;
}

// Copies the first `share` of a file into a scratch file of its own kind.
std::string cutCopy(const fs::path& file, double share, const std::string& ending) {
  const std::string cut = scratchPath("-cut" + ending);
  const auto size = fs::file_size(file);
  std::vector<uint8_t> bytes(static_cast<size_t>(size * share));
  FILE* in = std::fopen(file.c_str(), "rb");
  const size_t read = in ? std::fread(bytes.data(), 1, bytes.size(), in) : 0;
  if (in) std::fclose(in);
  EXPECT_EQ(read, bytes.size());
  EXPECT_TRUE(writeFile(cut, bytes.data(), bytes.size()));
  return cut;
}

TEST(LoaderChecks, EveryPictureAndGlyphOfTheGameAndTheirCutCopies) {
  const std::vector<fs::path> pictures = filesUnder(resources(), ".png");
  ASSERT_GE(pictures.size(), 10u);
  for (const fs::path& picture : pictures) {
    EXPECT_EQ(checkPngFile(picture.string()), "") << picture;
  }
  for (double share : {0.0, 0.01, 0.3, 0.9}) {
    const std::string cut = cutCopy(resources() / "title.png", share, ".png");
    EXPECT_EQ(checkPngFile(cut), "") << "title.png cut to " << share;
    std::remove(cut.c_str());
  }
}

TEST(LoaderChecks, EveryClipOfTheGameAndTheirCutCopies) {
  const std::vector<fs::path> clips = filesUnder(resources(), ".ogg");
  ASSERT_EQ(clips.size(), 5u);
  for (const fs::path& clip : clips) {
    EXPECT_EQ(checkOggFile(clip.string()), "") << clip;
  }
  for (double share : {0.0, 0.05, 0.5, 0.95}) {
    const std::string cut = cutCopy(resources() / "death.ogg", share, ".ogg");
    EXPECT_EQ(checkOggFile(cut), "") << "death.ogg cut to " << share;
    std::remove(cut.c_str());
  }
}

// Runs a check in a child process, so that an input that crashes again ends
// only the child, and reports its peak memory, so that a loader that
// allocates far more than a file could need is caught even when the
// allocation succeeds. A failed check prints what failed.
struct CheckedInChild {
  std::string failure;
  long peakMiB = 0;
};

CheckedInChild checkInChild(std::string (*check)(const std::string&), const fs::path& input) {
  CheckedInChild result{"the check could not run", 0};
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const std::string problem = check(input.string());
    if (!problem.empty()) std::printf("%s: %s\n", input.c_str(), problem.c_str());
    std::fflush(stdout);
    _exit(problem.empty() ? 0 : 1);
  }
  int status = 0;
  rusage usage{};
  if (pid > 0 && wait4(pid, &status, 0, &usage) == pid) {
    if (WIFSIGNALED(status)) {
      result.failure = "killed by signal " + std::to_string(WTERMSIG(status));
    } else if (WEXITSTATUS(status) != 0) {
      result.failure = "the check failed (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
    } else {
      result.failure.clear();
    }
    result.peakMiB = usage.ru_maxrss / 1024;
  }
  return result;
}

TEST(LoaderChecks, InputsTheFuzzersFoundFaultsWith) {
  // Far above what the loaders need for any file here (the sanitizers'
  // own share included), far below what the faults found took.
  constexpr long kMemoryLimitMiB = 512;
  size_t kept = 0;
  for (const auto& [target, check] :
       {std::pair{"png", &checkPngFile}, std::pair{"ogg", &checkOggFile}}) {
    for (const fs::path& input : filesUnder(regressions(target))) {
      const CheckedInChild run = checkInChild(check, input);
      EXPECT_EQ(run.failure, "") << input;
      EXPECT_LT(run.peakMiB, kMemoryLimitMiB) << input;
      ++kept;
    }
  }
  if (kept == 0) GTEST_SKIP() << "no fuzzer finding kept yet";
}

}  // namespace
}  // namespace zt::fuzz
