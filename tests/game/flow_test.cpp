// The game's modes, keys and exits, played from scripts through the runner.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/resource_files.h"
#include "core/screen.h"
#include "replay_run.h"
#include "rules/rules.h"
#include "scene/image_file.h"

namespace zt::test {
namespace {

constexpr double kDt = 1.0 / 60.0;
const float kFrame = static_cast<float>(kDt);  // what each measured frame lasts
const float kBarStartStored = static_cast<float>(kBarStart);

// Title, prompts, into the first level: the play key pressed at frame 0
// (seen in frame 1) and at frame 10 (seen in frame 11).
const std::string kIntoTheGame =
    "0 down d\n"
    "1 up d\n"
    "10 down d\n"
    "11 up d\n";

const TraceFrame& at(const ReplayRun& run, int frame) {
  static const TraceFrame none;
  for (const TraceFrame& f : run.trace) {
    if (f.integer("frame") == frame) return f;
  }
  ADD_FAILURE() << "no frame " << frame << " in the trace";
  return none;
}

int firstFrame(const ReplayRun& run, int fromFrame, bool (*test)(const TraceFrame&)) {
  for (const TraceFrame& f : run.trace) {
    if (f.integer("frame") >= fromFrame && test(f)) return f.integer("frame");
  }
  return -1;
}

// The first frame whose measured time, added up from `first`, passes limit.
int frameWhenPast(int first, double limit) {
  double seconds = 0.0;
  for (int frame = first;; ++frame) {
    seconds += kFrame;
    if (seconds > limit) return frame;
  }
}

TEST(Modes, TitleFlashBlackPauseAndSlideInLastAsLongAsTheyShould) {
  const ReplayRun run = runReplay({"--frames", "130"}, kIntoTheGame);
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_EQ(run.trace.size(), 130u);

  EXPECT_EQ(at(run, 0).integer("mode"), 0);
  EXPECT_EQ(at(run, 1).integer("mode"), 1);  // the press of frame 0's message
  // The flash lasts until more than 0.075 s have been measured.
  const int prompts = frameWhenPast(2, 0.075);
  EXPECT_EQ(at(run, prompts - 1).integer("mode"), 1);
  EXPECT_EQ(at(run, prompts).integer("mode"), 2);
  // The title music joins the accept sound.
  EXPECT_EQ(at(run, prompts).integer("playing"), at(run, prompts - 1).integer("playing") + 1);

  EXPECT_EQ(at(run, 11).integer("mode"), 3);
  const int level = frameWhenPast(12, 1.0);
  EXPECT_EQ(at(run, level - 1).integer("mode"), 3);
  EXPECT_EQ(at(run, level).integer("mode"), 4);
  EXPECT_EQ(at(run, level).text("levelText"), "Occam's Razor");

  // The marker slides in from -2.5 at 2 units a second and stops at the
  // bar's start, stored as a float.
  float x = -2.5f;
  EXPECT_FLOAT_EQ(at(run, level).number("markerX"), x);
  int frame = level + 1;
  for (; x != kBarStartStored; ++frame) {
    x = x + 2.0f * kFrame;
    if (x > kBarStart) x = kBarStartStored;
    ASSERT_EQ(static_cast<float>(at(run, frame).number("markerX")), x) << "frame " << frame;
  }
  EXPECT_EQ(static_cast<float>(at(run, 129).number("markerX")), kBarStartStored);
  EXPECT_EQ(at(run, 129).number("markerSpeed"), 0.0);
}

TEST(Modes, OneLongFrameIsAWholeTitleFlash) {
  const ReplayRun run = runReplay({"--dt", "0.1", "--frames", "4"}, "0 down d\n1 up d\n");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(at(run, 1).integer("mode"), 1);
  EXPECT_EQ(at(run, 2).integer("mode"), 2);
}

TEST(Runs, PressesDuringTheSlideInOrAPauseStartNothingAndAMistakeRepeatsTheLevel) {
  const std::string script = kIntoTheGame +
                             "75 down d\n"  // during the slide-in, held on into the play phase
                             "100 up d\n"
                             "102 down d\n"  // a real press: the run starts
                             "104 up d\n"    // let go on a level that wants the key held
                             "112 down d\n"  // pressed and let go during the mistake pause
                             "114 up d\n";
  const ReplayRun run = runReplay({"--frames", "230"}, script);
  ASSERT_EQ(run.status, 0) << run.err;

  ASSERT_LT(at(run, 76).number("markerX"), kBarStart) << "the press must land in the slide-in";
  for (int frame = 76; frame <= 102; ++frame) {
    EXPECT_EQ(at(run, frame).number("markerSpeed"), 0.0) << "frame " << frame;
  }
  EXPECT_EQ(at(run, 103).number("markerSpeed"), 2.0);
  EXPECT_EQ(at(run, 103).text("markerImage"), "derivative2.png");  // the walk has begun

  // The release is judged in the frame that sees it.
  const int mistake = 105;
  EXPECT_TRUE(at(run, mistake).flag("inputLocked"));
  EXPECT_EQ(at(run, mistake).text("markerImage"), "trollidian2.png");
  EXPECT_EQ(at(run, mistake).integer("incorrect"), 0);
  EXPECT_EQ(at(run, mistake).integer("playing"), 2);  // the death sound over the music

  // The count grows when the 0.84 s pause is over, with the marker back at
  // the bar's start, no slide-in.
  const int counted =
      firstFrame(run, mistake, [](const TraceFrame& f) { return f.integer("incorrect") == 1; });
  ASSERT_GT(counted, mistake);
  const double pause = (counted - mistake) * static_cast<double>(kFrame);
  EXPECT_GE(pause, 0.84);
  EXPECT_LT(pause, 0.84 + 2 * kDt);
  EXPECT_FALSE(at(run, counted).flag("inputLocked"));
  EXPECT_EQ(at(run, counted).text("markerImage"), "derivative1.png");
  for (int frame = mistake; frame < 230; ++frame) {
    const TraceFrame& f = at(run, frame);
    EXPECT_GE(f.number("markerX"), kBarStart - 1e-6) << "frame " << frame;
    EXPECT_EQ(f.integer("level"), 0);
    EXPECT_EQ(f.text("levelText"), "Occam's Razor");
  }
  // The press made during the pause was not remembered.
  for (int frame = counted; frame < 230; ++frame) {
    EXPECT_EQ(at(run, frame).number("markerSpeed"), 0.0) << "frame " << frame;
    EXPECT_EQ(static_cast<float>(at(run, frame).number("markerX")), kBarStartStored);
  }
}

TEST(Exits, EscapeEndsTheTitleScreensAndTheBlackPauseInTheFrameItIsSeen) {
  struct Case {
    int mode;
    std::string script;
    int escapeFrame;  // the frame whose message step takes the Escape
  };
  const std::vector<Case> cases = {
      {0, "", 0},
      {1, "0 down d\n", 2},
      {2, "0 down d\n1 up d\n", 8},
      {3, kIntoTheGame, 30},
  };
  for (const Case& c : cases) {
    const std::string script = c.script + std::to_string(c.escapeFrame) + " down escape\n";
    const ReplayRun run = runReplay({"--frames", "200"}, script);
    EXPECT_EQ(run.status, 0) << "mode " << c.mode << ": " << run.err;
    ASSERT_FALSE(run.trace.empty()) << "mode " << c.mode;
    // The frame that sees Escape is abandoned and leaves no trace.
    EXPECT_EQ(run.trace.back().integer("frame"), c.escapeFrame) << "mode " << c.mode;
    EXPECT_EQ(run.trace.back().integer("mode"), c.mode);
    EXPECT_NE(run.out.find("frames " + std::to_string(c.escapeFrame + 1) + ", mode " +
                           std::to_string(c.mode)),
              std::string::npos)
        << run.out;
  }
}

TEST(Exits, EscapeInALevelShowsTheGameOverPictureUntilItsSoundEnds) {
  // Escape goes down in the slide-in, where it does nothing, and is still
  // held when the marker arrives.
  const ReplayRun run = runReplay({"--frames", "600", "--shot", "150:{dir}/gameover.png"},
                                  kIntoTheGame + "80 down escape\n");
  ASSERT_EQ(run.status, 0) << run.err;
  const int arrival = firstFrame(run, 72, [](const TraceFrame& f) {
    return f.integer("mode") == 4 && f.number("markerX") >= kBarStart - 1e-6;
  });
  ASSERT_GT(arrival, 81);
  for (int frame = 81; frame < arrival; ++frame) EXPECT_EQ(at(run, frame).integer("mode"), 4);
  // The first frame of the play phase still runs whole and hands over to
  // the game-over mode.
  EXPECT_EQ(at(run, arrival + 1).integer("mode"), 7);
  const TraceFrame& last = run.trace.back();
  EXPECT_EQ(last.integer("mode"), 7);
  EXPECT_EQ(last.integer("playing"), 0);
  // The game-over sound (2.4 s) is what it waits for, not the 3 s limit.
  const double shown = last.number("t") - at(run, arrival).number("t");
  EXPECT_GT(shown, 2.2);
  EXPECT_LT(shown, 2.8);

  uint32_t width = 0, height = 0;
  const std::vector<uint8_t> got = readPngRgba(run.file("gameover.png"), width, height);
  PngInfo info;
  auto picture =
      loadPng(info, buildDir() + "/" + resource_files::kFolder + resource_files::kGameOver);
  ASSERT_TRUE(picture);
  ASSERT_EQ(info.width, kLogicalWidth);
  ASSERT_EQ(info.height, kLogicalHeight);
  int differing = 0;
  for (uint32_t y = 0; y < kWindowHeight; ++y) {
    for (uint32_t x = 0; x < kWindowWidth; ++x) {
      const uint8_t* want = &picture[((y / 2) * kLogicalWidth + x / 2) * 4];
      const uint8_t* have = &got[(y * kWindowWidth + x) * 4];
      if (want[0] != have[0] || want[1] != have[1] || want[2] != have[2]) ++differing;
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST(Exits, ClosingTheWindowEndsTheLoopAfterThatFrameInEveryEarlyMode) {
  struct Case {
    int mode;
    std::string script;
    int closeFrame;
  };
  const std::vector<Case> cases = {
      {0, "", 3},
      {1, "0 down d\n", 3},
      {2, "0 down d\n1 up d\n", 8},
      {3, kIntoTheGame, 30},
      {4, kIntoTheGame, 120},
      {7, kIntoTheGame + "100 down escape\n", 140},
  };
  for (const Case& c : cases) {
    const std::string script = c.script + std::to_string(c.closeFrame) + " close\n";
    const ReplayRun run = runReplay({"--frames", "400"}, script);
    EXPECT_EQ(run.status, 0) << "mode " << c.mode << ": " << run.err;
    EXPECT_EQ(run.err, "") << "mode " << c.mode;
    ASSERT_FALSE(run.trace.empty());
    EXPECT_EQ(run.trace.back().integer("frame"), c.closeFrame) << "mode " << c.mode;
    EXPECT_EQ(run.trace.back().integer("mode"), c.mode);
  }
}

TEST(Determinism, TheSameOptionsGiveTheSameTraceScreensAndSound) {
  const std::string script = kIntoTheGame + "102 down d\n104 up d\n170 down d\n";
  const std::vector<std::string> options = {
      "--frames",        "320",    "--wav",          "{dir}/sound.wav", "--shot",
      "106:{dir}/a.png", "--shot", "300:{dir}/b.png"};
  const ReplayRun first = runReplay(options, script);
  const ReplayRun second = runReplay(options, script);
  ASSERT_EQ(first.status, 0) << first.err;
  ASSERT_EQ(second.status, 0) << second.err;
  for (const char* file : {"trace.jsonl", "sound.wav", "a.png", "b.png"}) {
    const std::string a = readFile(first.file(file));
    EXPECT_FALSE(a.empty()) << file;
    EXPECT_TRUE(a == readFile(second.file(file))) << file << " differs between runs";
  }
}

}  // namespace
}  // namespace zt::test
