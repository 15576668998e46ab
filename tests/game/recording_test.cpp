// Recorded sessions through the runner: recorded on a clock whose frames
// vary as a real machine's do, replayed exactly; damaged ones refused or
// played as far as they go.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "replay_run.h"

namespace zt::test {
namespace {

// Lines of a file.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Half a minute of a game with two mistakes, on frames of 1/60 s +- 40 %,
// recorded.
class Recordings : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    original_ =
        new ReplayRun(runReplay({"--autoplay", "--mistakes", "0,2", "--jitter", "0.4", "--frames",
                                 "1800", "--record", "{dir}/game.rec", "--wav", "{dir}/game.wav"}));
    recording_ = readFile(original_->file("game.rec"));
  }
  static void TearDownTestSuite() { delete original_; }

  // Replays a recording (given as text) with the options given.
  static ReplayRun replay(const std::string& text, std::vector<std::string> options = {}) {
    static int made = 0;
    const std::string file = original_->file("session" + std::to_string(++made) + ".rec");
    std::ofstream(file) << text;
    options.insert(options.begin(), {"--replay", file});
    return runReplay(options);
  }

  static ReplayRun* original_;
  static std::string recording_;
};

ReplayRun* Recordings::original_ = nullptr;
std::string Recordings::recording_;

TEST_F(Recordings, AJitteredGameReplaysToTheSameTraceSoundAndRecording) {
  const ReplayRun& original = *original_;
  ASSERT_EQ(original.status, 0) << original.err;
  ASSERT_EQ(original.trace.size(), 1800u);
  EXPECT_NE(original.out.find("frames 1800, mode 4, level "), std::string::npos) << original.out;
  EXPECT_NE(original.out.find("incorrect 2, status 0"), std::string::npos) << original.out;
  const std::vector<std::string> lines = linesOf(recording_);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("# end frames 1800 mode 4 level ", 0), 0u) << lines.back();

  // The frames really vary: no two frame lengths alike in a row of ten.
  std::vector<double> lengths;
  for (size_t i = 1; i < original.trace.size() && lengths.size() < 10; ++i) {
    const double length = original.trace[i].number("t") - original.trace[i - 1].number("t");
    if (length > 0) lengths.push_back(length);
  }
  ASSERT_EQ(lengths.size(), 10u);
  EXPECT_NE(lengths[0], lengths[1]);
  EXPECT_NE(lengths[1], lengths[2]);

  const ReplayRun again =
      replay(recording_, {"--record", "{dir}/again.rec", "--wav", "{dir}/again.wav"});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.err, "");
  EXPECT_EQ(again.out, original.out);
  ASSERT_EQ(again.trace.size(), original.trace.size());
  EXPECT_EQ(readFile(again.file("trace.jsonl")), readFile(original.file("trace.jsonl")));
  EXPECT_EQ(readFile(again.file("again.wav")), readFile(original.file("game.wav")));
  EXPECT_EQ(readFile(again.file("again.rec")), recording_);
}

TEST_F(Recordings, ADamagedLineIsNamedAndNothingIsPlayed) {
  std::vector<std::string> lines = linesOf(recording_);
  ASSERT_GT(lines.size(), 20u);
  lines[9] = "120 held d";
  const ReplayRun run = replay(joined(lines));
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("line 10: unknown event 'held'"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("usage:"), std::string::npos)
      << run.err;  // the file's fault, not the call's
  EXPECT_TRUE(run.trace.empty());

  lines = linesOf(recording_);
  lines[4] = "x clock 5";
  EXPECT_NE(replay(joined(lines)).err.find("line 5: expected a frame number"), std::string::npos);
}

TEST_F(Recordings, ACrashedSessionReplaysWhatItHasAndSaysSo) {
  std::vector<std::string> lines = linesOf(recording_);
  // As the program left it when it died halfway: no end line.
  lines.resize(lines.size() / 2);
  const uint64_t lastFrame = std::stoull(lines.back().substr(0, lines.back().find(' ')));
  const ReplayRun run = replay(joined(lines));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("was cut short"), std::string::npos) << run.err;
  ASSERT_EQ(run.trace.size(), lastFrame + 1);
  // As far as it goes, the same game (its last frame may have been cut
  // in the middle).
  for (size_t i = 0; i + 1 < run.trace.size(); i += 97) {
    EXPECT_EQ(run.trace[i].fields, original_->trace[i].fields) << "frame " << i;
  }
}

TEST_F(Recordings, AReplayStopsWhereTheRecordingRunsOut) {
  // Its events end halfway, its end line promises far more frames: the
  // replay stops at the first frame the recording has no clock for.
  std::vector<std::string> lines = linesOf(recording_);
  lines.resize(lines.size() / 2);
  const uint64_t lastFrame = std::stoull(lines.back().substr(0, lines.back().find(' ')));
  lines.push_back("# end frames 99999 mode 4 level 0 incorrect 0");
  const ReplayRun run = replay(joined(lines));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("which the recording holds no more of"), std::string::npos) << run.err;
  EXPECT_LE(run.trace.size(), lastFrame + 2);

  // A recording that cannot be written is said at once and fails the run.
  const ReplayRun full = runReplay({"--autoplay", "--frames", "10", "--record", "/dev/full"});
  EXPECT_EQ(full.status, 1);
  EXPECT_EQ(full.err, "Error: couldn't write the recording /dev/full: No space left on device\n");
  EXPECT_EQ(full.trace.size(), 10u);
  // Nor does a screenshot or the sound.
  const ReplayRun outputs =
      runReplay({"--frames", "10", "--shot", "5:/dev/full", "--wav", "/dev/full"});
  EXPECT_EQ(outputs.status, 1);
  EXPECT_EQ(outputs.err,
            "zummertock-replay: cannot write /dev/full\n"
            "zummertock-replay: cannot write /dev/full\n");
}

TEST_F(Recordings, AReplayThatLeavesTheRecordingSaysWhere) {
  std::vector<std::string> lines = linesOf(recording_);
  // One clock reading too many in a frame: the game would not ask for it.
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("300 clock ", 0) == 0) {
      lines.insert(lines.begin() + static_cast<long>(i), lines[i]);
      break;
    }
  }
  const ReplayRun run = replay(joined(lines));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("left the recording: frame 301 reads the clock; the recording's next one "
                         "is for frame 300"),
            std::string::npos)
      << run.err;
}

}  // namespace
}  // namespace zt::test
