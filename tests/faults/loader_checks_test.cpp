// The fuzzers' checks over known files: the game's own resources, broken
// copies of them, and every input a fuzzer once found a fault with. A
// finding fixed once must stay fixed, under the sanitizers too.
#include "loader_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "session_checks.h"
#include "test_support.h"

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
  return fs::path(test::buildDir()) / "resources";
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

TEST(LoaderChecks, InputsTheFuzzersFoundFaultsWith) {
  // Far above what the loaders need for any file here (the sanitizers'
  // own share included), far below what the faults found took.
  constexpr long kMemoryLimitMiB = 512;
  size_t kept = 0;
  for (const auto& target : {std::pair{"png", &checkPngFile}, std::pair{"ogg", &checkOggFile},
                             std::pair{"session", &checkSessionFile}}) {
    const auto check = target.second;
    for (const fs::path& input : filesUnder(regressions(target.first))) {
      // In a child of its own, so that an input that crashes again ends only
      // the child, and with its peak memory, so that a loader that allocates
      // far more than a file could need is caught even when that succeeds.
      const test::ChildRun run = test::runInChild([&] {
        const std::string problem = check(input.string());
        std::printf("%s", problem.c_str());
        return problem.empty() ? 0 : 1;
      });
      EXPECT_EQ(run.status, 0) << input << ": " << run.out;
      EXPECT_LT(run.peakKiB / 1024, kMemoryLimitMiB) << input;
      ++kept;
    }
  }
  if (kept == 0) GTEST_SKIP() << "no fuzzer finding kept yet";
}

}  // namespace
}  // namespace zt::fuzz
