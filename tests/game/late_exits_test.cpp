// Escape and closing the window after the last level, in the pause before
// the credits and in the credits. The autoplayer gets there; a script adds
// the key or the close at frames read from a first, identical game.
#include <gtest/gtest.h>

#include <string>

#include "replay_run.h"

namespace zt::test {
namespace {

// A coarse clock keeps these four extra games short.
const std::string kDt = "0.05";

int firstFrameInMode(const ReplayRun& run, int mode) {
  for (const TraceFrame& f : run.trace) {
    if (f.integer("mode") == mode) return f.integer("frame");
  }
  return -1;
}

TEST(LateExits, EscapeAndCloseEndTheGameInThePauseAndTheCredits) {
  const ReplayRun baseline = runReplay({"--autoplay", "--dt", kDt});
  ASSERT_EQ(baseline.status, 0) << baseline.err;
  const int pause = firstFrameInMode(baseline, 5);
  const int credits = firstFrameInMode(baseline, 6);
  ASSERT_GT(pause, 0);
  ASSERT_GT(credits, pause + 10);

  for (int mode : {5, 6}) {
    const int frame = (mode == 5 ? pause : credits) + 5;
    for (const std::string event : {"down escape", "close"}) {
      const ReplayRun run =
          runReplay({"--autoplay", "--dt", kDt}, std::to_string(frame) + " " + event + "\n");
      SCOPED_TRACE("mode " + std::to_string(mode) + ", " + event);
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.err, "");
      ASSERT_FALSE(run.trace.empty());
      // Escape is seen (and the frame abandoned) in the frame after the one
      // that took the key message; a close ends the loop after its own frame.
      EXPECT_EQ(run.trace.back().integer("frame"), frame);
      EXPECT_EQ(run.trace.back().integer("mode"), mode);
      const int framesRun = frame + 1;
      EXPECT_NE(run.out.find("frames " + std::to_string(framesRun) + ", mode " +
                             std::to_string(mode) + ", level 17"),
                std::string::npos)
          << run.out;
    }
  }
}

}  // namespace
}  // namespace zt::test
