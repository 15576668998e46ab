#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "core/resource_files.h"
#include "core/screen.h"
#include "expected_screen.h"
#include "replay_run.h"
#include "rules/rules.h"
#include "rules/scene_script.h"
#include "scene/image_file.h"

namespace zt::test {
namespace {

constexpr double kDt = 1.0 / 60.0;
constexpr int kShotEvery = 30;

int firstFrameInMode(const std::vector<TraceFrame>& trace, int mode) {
  for (const TraceFrame& frame : trace) {
    if (frame.integer("mode") == mode) return frame.integer("frame");
  }
  return -1;
}

std::string shotName(int frame) {
  return "shot" + std::to_string(frame) + ".png";
}

// Where in panel.png a pixel of each of its two recoloured colours lies.
struct PanelProbe {
  int x = -1, y = -1;
};

PanelProbe findInPanel(const Color& colour) {
  PngInfo info;
  auto pixels = loadPng(info, buildDir() + "/" + resource_files::kFolder + resource_files::kPanel);
  if (!pixels) return {};
  for (uint32_t y = 0; y < info.height; ++y) {
    for (uint32_t x = 0; x < info.width; ++x) {
      const uint8_t* p = &pixels[(y * info.width + x) * 4];
      if (p[0] == colour.r && p[1] == colour.g && p[2] == colour.b && p[3] == colour.a) {
        return {static_cast<int>(x), static_cast<int>(y)};
      }
    }
  }
  return {};
}

Color shotPixel(const std::vector<uint8_t>& shot, int windowX, int windowY) {
  const uint8_t* p = &shot[(static_cast<size_t>(windowY) * kWindowWidth + windowX) * 4];
  return {p[0], p[1], p[2], p[3]};
}

// The whole game once, autoplayed at 60 frames a second, with a screenshot
// every half second. A whole game is a long run, so one test reads
// everything from it.
class WholeGame : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::vector<std::string> options = {"--autoplay", "--wav", "{dir}/game.wav"};
    for (int frame = 0; frame < 6000; frame += kShotEvery) {
      options.push_back("--shot");
      options.push_back(std::to_string(frame) + ":{dir}/" + shotName(frame));
    }
    run_ = new ReplayRun(runReplay(options));
  }
  static void TearDownTestSuite() { delete run_; }

  std::vector<uint8_t> shot(int frame) {
    uint32_t width = 0, height = 0;
    auto pixels = readPngRgba(run_->file(shotName(frame)), width, height);
    EXPECT_EQ(width, kWindowWidth);
    EXPECT_EQ(height, kWindowHeight);
    return pixels;
  }

  static ReplayRun* run_;
};

ReplayRun* WholeGame::run_ = nullptr;

TEST_F(WholeGame, PlaysEveryLevelWithoutAMistakeShowingTheNamesInOrder) {
  const ReplayRun& run = *run_;
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_FALSE(run.trace.empty());
  const TraceFrame& last = run.trace.back();
  EXPECT_EQ(last.integer("mode"), 6);
  EXPECT_EQ(last.integer("level"), 17);
  EXPECT_EQ(last.integer("incorrect"), 0);
  EXPECT_NE(run.out.find("mode 6, level 17, incorrect 0, status 0"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "");

  std::vector<std::string> seen;
  for (const TraceFrame& frame : run.trace) {
    if (frame.integer("mode") != 4) continue;
    const std::string& name = frame.text("levelText");
    if (seen.empty() || seen.back() != name) seen.push_back(name);
  }
  EXPECT_EQ(seen, std::vector<std::string>(levelNames, levelNames + kLevelCount));

  // The game's music and effects reached the device.
  const std::string wav = readFile(run.file("game.wav"));
  ASSERT_GT(wav.size(), 44u);
  int loud = 0;
  for (size_t at = 44; at + 1 < wav.size(); at += 2) {
    const int16_t sample = static_cast<int16_t>(static_cast<uint8_t>(wav[at]) |
                                                static_cast<uint8_t>(wav[at + 1]) << 8);
    if (std::abs(sample) > 1000) ++loud;
  }
  EXPECT_GT(loud, 44100);
}

TEST_F(WholeGame, PanelsTakeEachLevelsColours) {
  const PanelProbe dark = findInPanel(kBlack);
  const PanelProbe light = findInPanel(kWhite);
  ASSERT_GE(dark.x, 0);
  ASSERT_GE(light.x, 0);
  std::vector<bool> checked(kLevelCount, false);
  for (const TraceFrame& frame : run_->trace) {
    const int number = frame.integer("frame");
    if (number % kShotEvery != 0 || frame.integer("mode") != 4) continue;
    const int level = frame.integer("level");
    const std::vector<uint8_t> pixels = shot(number);
    // The upper panel is drawn at logical (10, 10), each pixel 2 x 2.
    EXPECT_EQ(shotPixel(pixels, 2 * (10 + dark.x), 2 * (10 + dark.y)), levelColorPairs[2 * level])
        << "level " << level << " frame " << number;
    EXPECT_EQ(shotPixel(pixels, 2 * (10 + light.x), 2 * (10 + light.y)),
              levelColorPairs[2 * level + 1])
        << "level " << level << " frame " << number;
    checked[level] = true;
  }
  for (uint32_t level = 0; level < kLevelCount; ++level) EXPECT_TRUE(checked[level]) << level;
}

TEST_F(WholeGame, PausesThreeSecondsThenShowsTheCreditsInTheirWindows) {
  const std::vector<TraceFrame>& trace = run_->trace;
  const int pause = firstFrameInMode(trace, 5);
  const int credits = firstFrameInMode(trace, 6);
  ASSERT_GT(pause, 0);
  ASSERT_GT(credits, pause);
  // Mode 5 is entered mid-frame; its own frames then count past 3.0 s.
  const double pauseSeconds = (credits - pause) * static_cast<double>(static_cast<float>(kDt));
  EXPECT_GT(pauseSeconds, 3.0);
  EXPECT_LE(pauseSeconds, 3.0 + kDt + 1e-6);

  struct Credit {
    std::string text;
    int32_t y;
    double from, to;
  };
  const std::vector<Credit> credits_ = {
      {"Congratulations, you zorped right!", 30, 5, 12},
      {"Incorrect zorpes: 0, HAW HAW", 50, 7, 12},
      {"\"Zummertock\"", 10, 13, 27},
      {"A vidya game by", 30, 15, 27},
      {kAuthorCredit, 50, 17, 27},
      {"Testers:", 175, 21, 27},
      {kTesterCredit1, 190, 21, 27},
      {kTesterCredit2, 205, 21, 27},
      {"Thanks for playing!", 30, 29, 1e9},
      {"THE END", 190, 29, 1e9},
  };

  ExpectedScreen expected;
  int compared = 0;
  double modeSeconds = 0.0;
  for (const TraceFrame& frame : trace) {
    const int number = frame.integer("frame");
    if (number < credits) continue;
    modeSeconds += static_cast<float>(kDt);
    if (number % kShotEvery != 0) continue;
    std::vector<ExpectedScreen::Text> visible;
    bool nearEdge = false;
    for (const Credit& credit : credits_) {
      if (std::abs(modeSeconds - credit.from) < 2 * kDt ||
          std::abs(modeSeconds - credit.to) < 2 * kDt) {
        nearEdge = true;
      }
      if (modeSeconds > credit.from && modeSeconds < credit.to)
        visible.push_back({credit.text, credit.y});
    }
    if (nearEdge) continue;
    const std::vector<uint8_t> want = expected.texts(18, 18, 18, visible);
    const std::vector<uint8_t> got = shot(number);
    // Everything but the dancing marker's rows (logical 100 to 140).
    EXPECT_EQ(differingPixels(want, got, 0, 200), 0) << "t = " << modeSeconds;
    EXPECT_EQ(differingPixels(want, got, 280, kWindowHeight), 0) << "t = " << modeSeconds;
    ++compared;
  }
  EXPECT_GT(compared, 40);
}

}  // namespace
}  // namespace zt::test
