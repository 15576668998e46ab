#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "replay_harness.h"

namespace zt::test {
namespace {

const std::vector<std::string> kLevelNames = {
    "Occam's Razor",
    "Half & Half",
    "Tell Me That This Is A Phallic Symbol",
    "The Island Of Koridai",
    "Even The Passenger Gets In Trouble",
    "Your Five-Year-Old Self Loves This",
    "You Mad, Bro?",
    "HE TOUCHED MY BREAST!",
    "Tap, Tap, Tap Tap Tap",
    "Mr. Body Massage Machine",
    "It Needs To Be Hard For Me",
    "Veni, Vidi, PINGAS",
    "Oh God, Are You Still Playing This?",
    "This Is Just A Joke, It's A Bad Game",
    "I Regret Everything Now",
    "Quick, Out Through Here!",
    "Farewell!",
    "QQQQQQQQQQQQQQQQQQQQQQQQQQQQQQ",
};

// A whole game is a long run, so one test reads everything from it.
TEST(Autoplay, PlaysEveryLevelWithoutAMistakeAndEndsOnEscapeInTheCredits) {
  const ReplayRun run = runReplay({"--autoplay"});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_FALSE(run.trace.empty());
  const TraceFrame& last = run.trace.back();
  EXPECT_EQ(last.integer("mode"), 6);
  EXPECT_EQ(last.integer("level"), 17);
  EXPECT_EQ(last.integer("incorrect"), 0);
  EXPECT_NE(run.out.find("mode 6, level 17, incorrect 0, status 0"), std::string::npos) << run.out;

  std::vector<std::string> seen;
  for (const TraceFrame& frame : run.trace) {
    if (frame.integer("mode") != 4) continue;
    const std::string& name = frame.text("levelText");
    if (seen.empty() || seen.back() != name) seen.push_back(name);
  }
  EXPECT_EQ(seen, kLevelNames);
}

}  // namespace
}  // namespace zt::test
