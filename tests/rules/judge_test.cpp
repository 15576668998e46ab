#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/keys.h"
#include "rules/rules.h"
#include "scene/game_object.h"
#include "script/schedule.h"

namespace zt {
namespace {

constexpr double kOpen = std::numeric_limits<double>::infinity();
// Steps from float to float must aim with a float, or nextafter works in double.
constexpr float kUp = std::numeric_limits<float>::infinity();

struct Window {
  double from, to;
};

// The free windows, written out apart from the game's own table so that a
// slip in either shows.
const std::vector<std::vector<Window>> kWindows = {
    {},
    {{-0.3, 0}},
    {{0.8, 1.1}},
    {{-0.9125, -0.6125}, {0.3125, 0.6125}},
    {{-0.9125, -0.6125}, {-0.3, 0}, {0.925, 1.225}},
    {{-1.4025, -1.1025}, {-0.6675, -0.3675}, {0.0675, 0.3675}, {0.8025, 1.1025}},
    {{-1.21875, -0.91875},
     {-0.759375, -0.459375},
     {-0.3, 0},
     {0.61875, 0.91875},
     {1.078125, 1.378125}},
    {{-1.32083333, -1.02083333}, {-0.6675, -0.3675}, {0.0675, 0.3675}, {0.72083333, 1.02083333}},
    {{-1.8, -1.4},
     {-1.2625, -0.9625},
     {-0.925, -0.525},
     {-0.3875, -0.0875},
     {-0.06875, 0.13125},
     {0.15, 0.35},
     {0.36875, 0.56875},
     {0.5875, 0.7875},
     {0.80625, 1.00625}},
    {{-1.11875, -0.91875}, {-0.2, 0}, {0.0296875, 0.2296875}, {1.4078125, 1.6078125}},
    {{-1.4025, -1.1025}, {-0.5625, -0.2625}, {0.3890625, 0.6890625}, {0.9484375, 1.378125}},
    {{-1.8078125, -1.6078125},
     {-1.5781249999999998, -1.378125},
     {-1.3484375, -1.1484375},
     {-0.759375, -0.459375},
     {-0.4296875, -0.2296875},
     {-0.2, 0},
     {0.0296875, 0.2296875},
     {0.61875, 0.91875},
     {0.9484375, 1.1484375},
     {1.178125, 1.378125},
     {1.4078125, 1.6078125}},
    {{-1.77, -1.47},
     {-1.4025, -1.1025},
     {-1.035, -0.735},
     {-0.6675, -0.3675},
     {-0.3, 0},
     {0.0675, 0.3675},
     {0.435, 0.735},
     {0.8025, 1.1025},
     {1.17, 1.47}},
    {{-1.77, -1.47},
     {-1.4025, -1.1025},
     {-1.035, -0.735},
     {-0.6675, -0.3675},
     {-0.3, 0},
     {0.0675, 0.3675},
     {0.435, 0.735},
     {0.8025, kOpen}},
    {{-1.77, -1.47}, {-1.4025, -1.1025}, {-1.035, -0.735}, {-0.6675, kOpen}},
    {{-1.77, -1.47}, {-1.4025, kOpen}},
    {{-kOpen, kOpen}},
    {{-kOpen, kOpen}},
};

// The smallest float at or above v, and the largest at or below it.
float floatAtOrAbove(double v) {
  float f = static_cast<float>(v);
  return static_cast<double>(f) < v ? std::nextafter(f, kUp) : f;
}
float floatAtOrBelow(double v) {
  float f = static_cast<float>(v);
  return static_cast<double>(f) > v ? std::nextafter(f, -kUp) : f;
}

Requirement stretchAfter(size_t windowsPassed) {
  return windowsPassed % 2 == 0 ? Requirement::Held : Requirement::Released;
}

class JudgeTest : public ::testing::Test {
 protected:
  bool mistake(float x, float rightArrow, float d) {
    marker.setPosition(Vector2D{x, 0.0f});
    keys.currentKeys[kKeyRight] = rightArrow;
    keys.currentKeys[kKeyD] = d;
    return isKeyMistake(&input);
  }

  // Checks the judge at x against what the level asks for there, for every
  // way of holding the play key.
  void expectJudged(uint32_t level, float x, Requirement wanted) {
    state.currentLevel = level;
    SCOPED_TRACE(::testing::Message() << "level " << level << " x " << x);
    EXPECT_EQ(requirementAt(level, x), wanted);
    const bool heldIsWrong = wanted == Requirement::Released;
    const bool releasedIsWrong = wanted == Requirement::Held;
    EXPECT_EQ(mistake(x, 0, 0), releasedIsWrong);
    EXPECT_EQ(mistake(x, 1, 0), heldIsWrong);
    EXPECT_EQ(mistake(x, 0, 1), heldIsWrong);
    EXPECT_EQ(mistake(x, 1, 1), heldIsWrong);
  }

  IdCounter objectIds;
  SpriteRenderObject2D marker{objectIds, nullptr, nullptr};
  KeyState keys;
  LevelState state;
  JudgeInput input{marker, keys, state};
};

TEST_F(JudgeTest, EveryWindowBoundOfEveryLevel) {
  ASSERT_EQ(kWindows.size(), kLevelCount);
  for (uint32_t level = 0; level < kLevelCount; ++level) {
    const std::vector<Window>& windows = kWindows[level];
    ASSERT_EQ(levelPatterns[level].count, windows.size()) << level;
    for (size_t i = 0; i < windows.size(); ++i) {
      const Window& w = windows[i];
      if (std::isfinite(w.from)) {
        const float inside = floatAtOrAbove(w.from);
        expectJudged(level, inside, Requirement::Free);
        expectJudged(level, std::nextafter(inside, -kUp), stretchAfter(i));
      }
      if (std::isfinite(w.to)) {
        const float inside = floatAtOrBelow(w.to);
        expectJudged(level, inside, Requirement::Free);
        expectJudged(level, std::nextafter(inside, kUp), stretchAfter(i + 1));
      }
    }
    // Where a run starts, and beyond the end of the bar.
    const Requirement first =
        !windows.empty() && windows[0].from <= kBarStart ? Requirement::Free : Requirement::Held;
    expectJudged(level, static_cast<float>(kBarStart), first);
    const Requirement last = !windows.empty() && std::isinf(windows.back().to)
                                 ? Requirement::Free
                                 : stretchAfter(windows.size());
    expectJudged(level, 1.9f, last);
    expectJudged(level, 5.0f, last);
  }
}

TEST_F(JudgeTest, TheBoundsThePlayerMeetsFirst) {
  // Level 0: held all along.
  expectJudged(0, -1.8f, Requirement::Held);
  expectJudged(0, 1.95f, Requirement::Held);
  // Level 1: the window [-0.3, 0] includes 0 itself.
  expectJudged(1, -0.2f, Requirement::Free);
  expectJudged(1, 0.0f, Requirement::Free);
  expectJudged(1, std::nextafter(0.0f, 1.0f), Requirement::Released);
  expectJudged(1, 0.5f, Requirement::Released);
  // Level 11: -1.578125 itself still belongs to the released stretch.
  expectJudged(11, -1.578125f, Requirement::Released);
  expectJudged(11, std::nextafter(-1.578125f, 0.0f), Requirement::Free);
  expectJudged(11, floatAtOrBelow(-1.378125), Requirement::Free);
  // Level 13: free from 0.8025 on.
  for (float x : {0.8025f, 1.0f, 1.9f, 3.0f}) expectJudged(13, x, Requirement::Free);
  expectJudged(13, 0.8f, Requirement::Released);
}

TEST_F(JudgeTest, TheLastTwoLevelsAskNothingAndLaterOnesTheImpossible) {
  for (uint32_t level : {16u, 17u}) {
    for (float x : {-2.5f, -1.8375f, 0.0f, 1.9f, 10.0f}) expectJudged(level, x, Requirement::Free);
  }
  for (uint32_t level : {18u, 19u, 1000u}) {
    state.currentLevel = level;
    EXPECT_EQ(requirementAt(level, 0.0f), Requirement::Impossible);
    EXPECT_TRUE(mistake(0.0f, 0, 0));
    EXPECT_TRUE(mistake(-1.8375f, 1, 0));
    EXPECT_TRUE(mistake(1.9f, 1, 1));
  }
}

TEST_F(JudgeTest, OneKeyHeldIsEnoughAndNoInputIsNoMistake) {
  state.currentLevel = 1;
  EXPECT_FALSE(mistake(-1.0f, 0, 1));  // D held while the arrow is up
  EXPECT_FALSE(mistake(-1.0f, 1, 0));
  EXPECT_TRUE(mistake(0.5f, 0, 1));
  EXPECT_FALSE(isKeyMistake(nullptr));
}

TEST_F(JudgeTest, ThresholdsCompareTheWidenedValue) {
  SpriteRenderObject2D m(objectIds, nullptr, nullptr);
  auto at = [&](float x) {
    m.setPosition(Vector2D{x, 0.0f});
    return &m;
  };
  // 1.9f lies below 1.9; -0.01f lies above -0.01.
  EXPECT_FALSE(markerPastEnd(at(1.9f)));
  EXPECT_TRUE(markerPastEnd(at(std::nextafter(1.9f, 2.0f))));
  EXPECT_TRUE(markerPastMiddle(at(-0.01f)));
  EXPECT_FALSE(markerPastMiddle(at(std::nextafter(-0.01f, -1.0f))));
  EXPECT_FALSE(markerPastEnd(nullptr));
  EXPECT_FALSE(markerPastMiddle(nullptr));

  // The pause entries stand at 0.84f and 0.364f, just below the thresholds.
  Schedule pause;
  pause.clock = 0.84f;
  EXPECT_FALSE(mistakePauseOver(&pause));
  pause.clock = std::nextafter(0.84f, 1.0f);
  EXPECT_TRUE(mistakePauseOver(&pause));
  pause.clock = 0.364f;
  EXPECT_FALSE(successPauseOver(&pause));
  pause.clock = std::nextafter(0.364f, 1.0f);
  EXPECT_TRUE(successPauseOver(&pause));
  EXPECT_FALSE(mistakePauseOver(nullptr));
  EXPECT_FALSE(successPauseOver(nullptr));
}

}  // namespace
}  // namespace zt
