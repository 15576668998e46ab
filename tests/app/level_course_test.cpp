// The course of a level as the real game runs it: its frames, driven with
// key messages on a clock that moves on by one frame time per frame, drawn
// into a display that only records.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/game.h"
#include "core/image.h"
#include "doubles.h"
#include "rules/rules.h"
#include "scene/game_object.h"
#include "scene/text.h"
#include "script/actions.h"
#include "script/schedule.h"

namespace zt {
namespace {

constexpr int64_t kTicksPerSecond = 60;
constexpr float kDt = 1.0f / 60.0f;
// The bar's start as a marker position holds it.
constexpr float kStart = static_cast<float>(kBarStart);

Color pixelAt(const Image* image, size_t index) {
  const uint8_t* p = image->pixels.get() + 4 * index;
  return Color{p[0], p[1], p[2], p[3]};
}

// The first pixel of the picture that has the colour, or -1.
long findPixel(const Image* image, const Color& colour) {
  for (size_t i = 0; i < static_cast<size_t>(image->width) * image->height; ++i) {
    if (pixelAt(image, i) == colour) return static_cast<long>(i);
  }
  return -1;
}

class LevelCourse : public ::testing::Test {
 protected:
  LevelCourse() : game(platform, display, GameOptions{}) {
    // Pixels in the colours that each level recolours, before level 0's.
    const Image* panel = game.resources().panel;
    const Image* frame = game.resources().progressBar;
    panelDark = findPixel(panel, neutralColorPair[0]);
    panelLight = findPixel(panel, neutralColorPair[1]);
    frameDark = findPixel(frame, neutralColorPair[0]);
    frameLight = findPixel(frame, neutralColorPair[1]);
    progressFill = findPixel(game.resources().progress, kTeal);
  }

  void SetUp() override {
    for (long found : {panelDark, panelLight, frameDark, frameLight, progressFill}) {
      ASSERT_GE(found, 0);
    }
    game.start();
  }

  // Runs one frame of `seconds`; false when it ended the game.
  bool frame(float seconds = kDt) {
    platform.ticks += static_cast<int64_t>(seconds * kTicksPerSecond);
    display.placed.clear();
    return game.runFrame();
  }
  // A key message, handled as at the end of the last frame.
  void key(uint32_t virtualKey, bool down) {
    game.handleMessage(
        {down ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp, virtualKey});
  }
  void press(uint32_t virtualKey = kVkRight) { key(virtualKey, true); }
  void release(uint32_t virtualKey = kVkRight) { key(virtualKey, false); }

  int32_t mode() const { return game.modes().gameMode; }
  const LevelState& level() const { return game.level(); }
  const Scene& scene() const { return game.scene(); }
  const GameResources& pictures() const { return game.resources(); }
  float x() const { return scene().progressMarker->getPosition().x; }
  Image* shown() const { return scene().progressMarker->getImage(); }
  std::vector<Action*> list() const { return scene().progressMarker->getActions(); }

  // Title, prompts and the black pause, to the first frame of the play mode.
  void enterThePlayMode() {
    press(kVkD);
    frame();
    release(kVkD);
    while (mode() != kModeTitlePrompts) ASSERT_TRUE(frame());
    press(kVkD);
    frame();
    release(kVkD);
    while (mode() != kModePlay) ASSERT_TRUE(frame());
  }

  void slideIn() {
    for (int i = 0; i < 100 && static_cast<double>(x()) < kBarStart; ++i) frame();
    ASSERT_EQ(x(), kStart);
  }

  // Plays runs the way a player who knows the patterns would, until the
  // level is `target` or the game leaves the play mode.
  void playTo(uint32_t target) {
    bool held = false;
    for (int i = 0; i < 40000 && mode() == kModePlay && level().currentLevel < target; ++i) {
      const bool playPhase = static_cast<double>(x()) >= kBarStart;
      bool want = held;
      if (playPhase && level().markerSpeed == 0.0f && !level().inputLocked) {
        want = !held;  // a press is a key-down after a key-up
      } else if (playPhase && !level().inputLocked) {
        // Where the judge sees the marker in the next frame.
        const float next = x() + kDt * level().markerSpeed;
        const Requirement wanted = requirementAt(level().currentLevel, next);
        if (wanted != Requirement::Free) want = wanted == Requirement::Held;
      }
      if (want != held) key(kVkRight, want);
      held = want;
      frame();
    }
    if (held) release();
  }

  test::SteppedPlatform platform;  // 60 ticks a second, moved on by frame()
  test::RecordingDisplay display;
  Game game;
  long panelDark = -1, panelLight = -1, frameDark = -1, frameLight = -1, progressFill = -1;
};

TEST_F(LevelCourse, TheSceneIsBuiltInPlace) {
  EXPECT_EQ(x(), kMarkerParked);
  EXPECT_EQ(scene().progressMarker->getPosition().y, 0.0f);
  EXPECT_EQ(shown(), pictures().derivative1);
  // Where the title prompts stand (the recorded runs show the other
  // screens).
  const Scene& s = scene();
  const std::pair<TextObject*, int32_t> prompts[] = {
      {s.titleText, 120}, {s.playPrompt, 170}, {s.quitPrompt, 190}};
  for (const auto& [text, y] : prompts) {
    EXPECT_EQ(text->x, 160);
    EXPECT_EQ(text->y, y);
  }

  // The start put level 0's colours and name in place.
  EXPECT_EQ(list(), std::vector<Action*>{s.endOfRunWatch});
  EXPECT_EQ(pixelAt(pictures().panel, panelDark), levelColorPairs[0]);
  EXPECT_EQ(pixelAt(pictures().panel, panelLight), levelColorPairs[1]);
  EXPECT_EQ(pixelAt(pictures().progressBar, frameDark), levelColorPairs[0]);
  EXPECT_EQ(s.levelText->text, levelNames[0]);
}

TEST_F(LevelCourse, TheBackgroundScrollsAndComesBack) {
  Schedule* main = scene().mainSchedule;
  int entries = 0;
  for (ScheduleEntry* e = main->first; e; e = e->next, ++entries) {
    if (entries <= 448) {
      EXPECT_EQ(e->time, static_cast<float>(entries * 0.1)) << entries;
    }
  }
  EXPECT_EQ(entries, 451);

  SpriteObject* background = scene().titleBackground;
  main->advance(44.85f);
  EXPECT_EQ(background->y, -449);
  main->advance(0.1f);
  EXPECT_EQ(background->y, 0);
  main->advance(0.1f);  // runs the rewind
  EXPECT_EQ(main->clock, 0.0f);
  EXPECT_EQ(background->y, 0);
  main->advance(0.01f);
  EXPECT_EQ(background->y, -1);
}

TEST_F(LevelCourse, AMistakePausesCountsAndPutsTheMarkerBack) {
  enterThePlayMode();
  // A press during the slide-in starts nothing, nor does holding it on.
  press();
  frame();
  EXPECT_EQ(level().markerSpeed, 0.0f);
  slideIn();
  frame();
  EXPECT_EQ(level().markerSpeed, 0.0f);
  EXPECT_EQ(list(), std::vector<Action*>{scene().endOfRunWatch});
  release();
  frame();

  press();
  frame();
  EXPECT_EQ(level().markerSpeed, 2.0f);
  EXPECT_EQ(x(), kStart + kDt * kMarkerRunSpeed);
  EXPECT_EQ(scene().progressMarker->getSchedule(), scene().holdSchedule);
  EXPECT_EQ(list(), (std::vector<Action*>{scene().endOfRunWatch, scene().runJudge}));
  EXPECT_EQ(shown(), pictures().derivative2);
  for (int i = 1; i < 15; ++i) frame();
  EXPECT_EQ(shown(), pictures().derivative1);
  for (int i = 15; i < 26; ++i) frame();
  EXPECT_EQ(shown(), pictures().derivative2);  // the walk went round

  // A second press in the run restarts the walk but adds no second judge.
  press(kVkD);
  frame();
  EXPECT_EQ(scene().holdSchedule->clock, kDt);
  EXPECT_EQ(list().size(), 2u);

  // Letting go of both keys on level 0 is a mistake.
  const uint32_t sounds = game.playingSoundCount();
  release();
  frame();
  EXPECT_EQ(level().markerSpeed, 2.0f);  // the right arrow alone does not count
  release(kVkD);
  frame();
  const float stoppedAt = x();
  EXPECT_EQ(shown(), pictures().trollidian2);
  EXPECT_TRUE(level().inputLocked);
  EXPECT_EQ(level().markerSpeed, 0.0f);
  EXPECT_EQ(list(), std::vector<Action*>{scene().mistakePauseWatch});
  EXPECT_EQ(scene().progressMarker->getSchedule(), scene().mistakeFlicker);
  EXPECT_EQ(level().incorrectGuesses, 0);
  EXPECT_EQ(game.playingSoundCount(), sounds + 1);

  bool hidden = false;
  int pauseFrames = 0;
  while (level().incorrectGuesses == 0 && pauseFrames < 200) {
    const double clockBefore = scene().mistakeFlicker->clock;
    const bool detachedBefore = scene().progressMarker->getSchedule() == nullptr;
    if (pauseFrames == 10) press(kVkD);  // a press in the pause is ignored
    if (pauseFrames == 12) release(kVkD);
    frame();
    ++pauseFrames;
    hidden = hidden || shown() == nullptr;
    EXPECT_EQ(level().incorrectGuesses == 1, clockBefore >= 0.84) << pauseFrames;
    if (level().incorrectGuesses == 1) {
      EXPECT_TRUE(detachedBefore);
    } else {
      EXPECT_EQ(x(), stoppedAt);
      EXPECT_EQ(level().markerSpeed, 0.0f);
      EXPECT_TRUE(level().inputLocked);
    }
  }
  EXPECT_TRUE(hidden);
  EXPECT_GE(pauseFrames * kDt, 0.84f);
  EXPECT_EQ(x(), kStart);
  EXPECT_EQ(scene().progressMarker->getPosition().y, 0.0f);
  EXPECT_EQ(shown(), pictures().derivative1);
  EXPECT_EQ(scene().progressMarker->getSchedule(), nullptr);
  EXPECT_EQ(list(), std::vector<Action*>{scene().endOfRunWatch});
  EXPECT_FALSE(level().inputLocked);
  EXPECT_EQ(level().currentLevel, 0u);

  // The next run starts at once from the bar's start.
  press(kVkD);
  frame();
  EXPECT_EQ(x(), kStart + kDt * kMarkerRunSpeed);
  EXPECT_EQ(level().markerSpeed, 2.0f);
}

TEST_F(LevelCourse, ARightGuessFlashesSlidesAndStartsTheNextLevel) {
  enterThePlayMode();
  slideIn();
  press(kVkD);  // D alone is the play key too
  frame();
  float before = x();
  for (int i = 0; i < 200 && !level().inputLocked; ++i) {
    before = x();
    frame();
  }
  ASSERT_TRUE(level().inputLocked);
  EXPECT_GE(static_cast<double>(x()), kBarEnd);
  EXPECT_LT(static_cast<double>(before), kBarEnd);
  EXPECT_EQ(level().incorrectGuesses, 0);
  EXPECT_EQ(list(),
            (std::vector<Action*>{scene().slideMarkerRightAction, scene().successPauseWatch}));
  EXPECT_EQ(scene().progressSprite->getSchedule(), scene().successFlash);
  EXPECT_EQ(pixelAt(pictures().progress, progressFill), kTeal);

  std::set<Image*> walk;
  bool white = false;
  int pauseFrames = 0;
  release(kVkD);
  while (level().currentLevel == 0 && pauseFrames < 200) {
    const double clockBefore = scene().successFlash->clock;
    const float xBefore = x();
    if (pauseFrames == 3) press();
    frame();
    ++pauseFrames;
    EXPECT_EQ(level().currentLevel == 1, clockBefore >= 0.364) << pauseFrames;
    if (level().currentLevel == 0) {
      EXPECT_NEAR(x() - xBefore, 4.0f * kDt, 1e-5);
      EXPECT_EQ(scene().progressMarker->getSchedule(), scene().holdSchedule);
      walk.insert(shown());
      white = white || pixelAt(pictures().progress, progressFill) == kWhite;
    }
  }
  EXPECT_EQ(walk, (std::set<Image*>{pictures().derivative1, pictures().derivative2}));
  EXPECT_TRUE(white);
  EXPECT_EQ(pixelAt(pictures().progress, progressFill), kTeal);
  EXPECT_EQ(scene().progressSprite->getSchedule(), nullptr);

  EXPECT_EQ(level().currentLevel, 1u);
  EXPECT_EQ(x(), kMarkerParked);
  EXPECT_EQ(level().markerSpeed, 0.0f);
  EXPECT_FALSE(level().inputLocked);
  EXPECT_EQ(scene().progressMarker->getSchedule(), nullptr);
  EXPECT_EQ(shown(), pictures().derivative1);
  EXPECT_EQ(list(), std::vector<Action*>{scene().endOfRunWatch});
  EXPECT_EQ(pixelAt(pictures().panel, panelDark), levelColorPairs[2]);
  EXPECT_EQ(pixelAt(pictures().panel, panelLight), levelColorPairs[3]);
  EXPECT_EQ(pixelAt(pictures().progressBar, frameDark), levelColorPairs[2]);
  EXPECT_EQ(pixelAt(pictures().progressBar, frameLight), levelColorPairs[3]);
  EXPECT_EQ(scene().levelText->text, "Half & Half");

  frame();  // the new level slides in
  EXPECT_EQ(x(), kMarkerParked + kMarkerRunSpeed * kDt);
}

TEST_F(LevelCourse, APlayerWhoKnowsThePatternsWinsEveryLevelAndTheLastEndsMidBar) {
  enterThePlayMode();
  const int64_t start = platform.ticks;
  playTo(16);
  ASSERT_EQ(level().currentLevel, 16u);
  EXPECT_EQ(pixelAt(pictures().panel, panelDark), levelColorPairs[32]);
  EXPECT_EQ(scene().levelText->text, "Farewell!");
  playTo(17);
  ASSERT_EQ(level().currentLevel, 17u);
  EXPECT_EQ(level().incorrectGuesses, 0);
  EXPECT_LT(platform.ticks - start, 17 * 4 * kTicksPerSecond);
  EXPECT_EQ(pixelAt(pictures().panel, panelDark), kWhite);
  EXPECT_EQ(pixelAt(pictures().panel, panelLight), kBlack);
  EXPECT_EQ(scene().levelText->text, std::string(30, 'Q'));
  EXPECT_EQ(list(), (std::vector<Action*>{scene().endOfRunWatch, scene().middleWatch}));

  slideIn();
  press();
  frame();
  float before = x();
  for (int i = 0; i < 200 && mode() == kModePlay; ++i) {
    before = x();
    key(kVkRight, (i / 7) % 2 == 0);  // nothing is a mistake here
    frame();
  }
  ASSERT_EQ(mode(), kModePauseBeforeCredits);
  EXPECT_GE(static_cast<double>(x()), kBarMiddle);
  EXPECT_LT(static_cast<double>(before), kBarMiddle);
  EXPECT_EQ(level().markerSpeed, 0.0f);
  EXPECT_EQ(level().incorrectGuesses, 0);
  EXPECT_EQ(list(), (std::vector<Action*>{scene().endOfRunWatch, scene().runJudge}));
  EXPECT_EQ(scene().progressMarker->getSchedule(), scene().finalAnimation);
  EXPECT_EQ(shown(), pictures().derivative1);

  // The pause runs no actions; then the credits: the marker still for
  // 1.5 s, then laughing every 0.2 s from 3.0 s on.
  const float stoppedAt = x();
  while (mode() == kModePauseBeforeCredits) frame();
  EXPECT_EQ(shown(), pictures().derivative1);
  std::vector<Image*> shownAt;
  for (int i = 0; i < 240; ++i) {
    frame();
    shownAt.push_back(shown());
  }
  EXPECT_EQ(shownAt[80], pictures().derivative1);   // 1.35 s
  EXPECT_EQ(shownAt[100], pictures().trollidian1);  // 1.68 s
  EXPECT_EQ(shownAt[185], pictures().trollidian2);  // 3.1 s
  EXPECT_EQ(shownAt[197], pictures().trollidian1);  // 3.3 s
  EXPECT_EQ(shownAt[209], pictures().trollidian2);  // 3.5 s
  EXPECT_EQ(x(), stoppedAt);
  EXPECT_EQ(level().currentLevel, 17u);
  EXPECT_EQ(scene().counterText->text, "Incorrect zorpes: 0, HAW HAW");
}

TEST_F(LevelCourse, ALongFrameOnTheLastLevelLeavesTheLevelTablesAlone) {
  enterThePlayMode();
  playTo(17);
  ASSERT_EQ(level().currentLevel, 17u);
  slideIn();
  // One two-second frame carries the marker past the middle and the end.
  press();
  frame(2.0f);
  EXPECT_GE(static_cast<double>(x()), kBarEnd);
  EXPECT_EQ(mode(), kModePauseBeforeCredits);
  EXPECT_TRUE(level().inputLocked);

  // The success pause is long over by the credits: the level moves on.
  while (mode() == kModePauseBeforeCredits) frame();
  frame();
  EXPECT_EQ(level().currentLevel, 18u);
  EXPECT_EQ(scene().panelColorSwap->fromColors, levelColorPairs + 32);
  EXPECT_EQ(scene().panelColorSwap->toColors, levelColorPairs + 34);
  EXPECT_EQ(scene().frameColorSwap->toColors, levelColorPairs + 34);
  EXPECT_EQ(scene().levelNameChange->text, std::string(30, 'Q'));
  EXPECT_EQ(scene().levelText->text, std::string(30, 'Q'));
  EXPECT_EQ(pixelAt(pictures().panel, panelDark), kWhite);
  EXPECT_EQ(pixelAt(pictures().panel, panelLight), kBlack);
  for (int i = 0; i < 60; ++i) frame();
  EXPECT_EQ(level().currentLevel, 18u);
  EXPECT_EQ(mode(), kModeCredits);
}

}  // namespace
}  // namespace zt
