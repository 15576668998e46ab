// Long games through the runner: the autoplayer loses on purpose again and
// again (every mistake replays the level, every level change swaps colours
// and names), while the process's peak memory is measured after one virtual
// minute (half the soak, for short ones) and after the whole soak. Memory
// must stay flat.
//
// ZT_SOAK_MINUTES sets the soak's length; `make soak` runs 30. Without it,
// what `make test` runs: 2 minutes at 60 frames a second, 1 at 240.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "test_support.h"

namespace zt::test {
namespace {

// Runs the runner for `minutes` of virtual time at step dt, without trace or
// pictures: its exit status, its peak resident memory and its summary line.
ChildRun soak(double dt, double minutes) {
  const std::string runner = buildDir() + "/zummertock-replay";
  std::string mistakes;
  // Far more lost attempts than fit in the time: the game never ends early.
  for (int level = 0; level < 18; ++level) {
    for (int attempt = 0; attempt < 200; ++attempt) {
      mistakes += (mistakes.empty() ? "" : ",") + std::to_string(level);
    }
  }
  char dtText[32];
  std::snprintf(dtText, sizeof dtText, "%.17g", dt);
  const long frames = std::lround(minutes * 60.0 / dt);
  return runProgram({runner, "--autoplay", "--mistakes", mistakes, "--dt", dtText, "--frames",
                     std::to_string(frames)});
}

double soakMinutes(double unset) {
  const char* text = std::getenv("ZT_SOAK_MINUTES");
  const double minutes = text ? std::atof(text) : unset;
  return minutes > 0.0 ? minutes : unset;
}

void soakAt(double dt, const char* name, double minutesUnset) {
  const double minutes = soakMinutes(minutesUnset);
  const double firstMinutes = std::min(1.0, minutes / 2.0);
  const ChildRun first = soak(dt, firstMinutes);
  const ChildRun whole = soak(dt, minutes);
  ASSERT_EQ(first.status, 0) << first.out << first.err;
  ASSERT_EQ(whole.status, 0) << whole.out << whole.err;
  // The game was still being played when the time ran out, and lost often.
  const long frames = std::lround(minutes * 60.0 / dt);
  EXPECT_EQ(whole.out.rfind("frames " + std::to_string(frames) + ", mode 4", 0), 0u) << whole.out;
  int incorrect = 0;
  const size_t at = whole.out.find("incorrect ");
  ASSERT_NE(at, std::string::npos) << whole.out;
  incorrect = std::atoi(whole.out.c_str() + at + 10);
  EXPECT_GT(incorrect, static_cast<int>(minutes * 20)) << whole.out;

  std::string summary = whole.out;
  while (!summary.empty() && summary.back() == '\n') summary.pop_back();
  std::printf("soak at dt %s: peak RSS %ld KiB after %g minutes, %ld KiB after %g minutes (%s)\n",
              name, first.peakKiB, firstMinutes, whole.peakKiB, minutes, summary.c_str());
  // Flat: the whole soak may use a little more than its first part
  // (allocator slack, the music's position in a longer clip), not more.
  EXPECT_LE(whole.peakKiB, first.peakKiB + 4096)
      << "memory grew from " << first.peakKiB << " KiB to " << whole.peakKiB << " KiB";
}

TEST(Soak, SixtyFramesASecond) {
  soakAt(1.0 / 60.0, "1/60", 2.0);
}

TEST(Soak, TwoHundredFortyFramesASecond) {
  soakAt(1.0 / 240.0, "1/240", 1.0);
}

}  // namespace
}  // namespace zt::test
