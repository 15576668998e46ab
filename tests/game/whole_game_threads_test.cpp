// The whole game with its mixer thread, for the sanitizer builds: the
// autoplayer plays from the title to the credits, losing twice, with the
// sound recorded. Any report of a sanitizer in the runner shows on its
// standard error and in its exit status.
#include <gtest/gtest.h>

#include "replay_run.h"

namespace zt::test {
namespace {

TEST(WholeGameWithTheMixer, PlaysToTheEndWithNothingOnStandardError) {
  // A coarse clock keeps this short under the slow sanitizers; the mixer
  // still refills the device every frame.
  const ReplayRun run =
      runReplay({"--autoplay", "--mistakes", "1,9", "--dt", "0.05", "--wav", "{dir}/game.wav"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_NE(run.out.find("mode 6, level 17, incorrect 2, status 0"), std::string::npos) << run.out;
  // The recording holds the whole game's sound, which is not silent.
  const std::string wav = readFile(run.file("game.wav"));
  const double seconds = run.trace.size() * 0.05;
  ASSERT_GT(wav.size(), 44u);
  EXPECT_NEAR((wav.size() - 44) / 4.0 / 44100.0, seconds, 1.0);
  bool sound = false;
  for (size_t i = 44; i < wav.size() && !sound; ++i) sound = wav[i] != 0;
  EXPECT_TRUE(sound);
}

}  // namespace
}  // namespace zt::test
