#include <gtest/gtest.h>

#include <string>

#include "app/frame_loop.h"
#include "app/game_modes.h"
#include "rules/rules.h"
#include "scene/game_object.h"
#include "script/action.h"

namespace zt {
namespace {

class LevelChangeTest : public ::testing::Test {
 protected:
  void SetUp() override { resetGameState(); }

  SpriteColorSwap swap{nullptr, neutralColorPair, levelColorPairs, 2};
  ActionBinding colors{nullptr, &swap};
  TextChange name{nullptr, levelNames[0]};
  ActionBinding names{nullptr, &name};
};

TEST_F(LevelChangeTest, ColoursGoFromThePreviousPairToTheCurrentOne) {
  EXPECT_EQ(selectLevelColors(&colors), 0);
  EXPECT_EQ(swap.fromColors, neutralColorPair);
  EXPECT_EQ(swap.toColors, levelColorPairs);
  for (uint32_t level = 1; level <= kLastLevel; ++level) {
    currentLevel = level;
    EXPECT_EQ(selectLevelColors(&colors), 0);
    EXPECT_EQ(swap.fromColors, levelColorPairs + 2 * (level - 1));
    EXPECT_EQ(swap.toColors, levelColorPairs + 2 * level);
    EXPECT_EQ(swap.count, 2);
  }
  // Level 17 turns the dark colour white and the light one black.
  EXPECT_EQ(swap.toColors[0], kWhite);
  EXPECT_EQ(swap.toColors[1], kBlack);
  EXPECT_EQ(neutralColorPair[0], kBlack);
  EXPECT_EQ(neutralColorPair[1], kWhite);
}

TEST_F(LevelChangeTest, NamesFollowTheLevel) {
  currentLevel = 1;
  EXPECT_EQ(selectLevelName(&names), 0);
  EXPECT_EQ(name.text, "Half & Half");
  currentLevel = 17;
  EXPECT_EQ(selectLevelName(&names), 0);
  EXPECT_EQ(name.text, std::string(30, 'Q'));
}

TEST_F(LevelChangeTest, PastTheLastLevelNothingIsReadOrChanged) {
  currentLevel = 17;
  selectLevelColors(&colors);
  selectLevelName(&names);
  for (uint32_t level : {18u, 19u, 0xFFFFFFFFu}) {
    currentLevel = level;
    EXPECT_EQ(selectLevelColors(&colors), -1);
    EXPECT_EQ(selectLevelName(&names), -1);
    EXPECT_EQ(swap.fromColors, levelColorPairs + 32);
    EXPECT_EQ(swap.toColors, levelColorPairs + 34);
    EXPECT_EQ(name.text, std::string(30, 'Q'));
  }
}

TEST_F(LevelChangeTest, ABindingOfTheWrongKindIsLeftAlone) {
  ActionBinding swapped{nullptr, &name};
  EXPECT_EQ(selectLevelColors(&swapped), -1);
  ActionBinding crossed{nullptr, &swap};
  EXPECT_EQ(selectLevelName(&crossed), -1);
  ActionBinding empty{nullptr, nullptr};
  EXPECT_EQ(selectLevelColors(&empty), -1);
  EXPECT_EQ(selectLevelName(nullptr), -1);
  EXPECT_EQ(name.text, levelNames[0]);
  EXPECT_EQ(swap.fromColors, neutralColorPair);
}

TEST_F(LevelChangeTest, CallbacksChangeTheGameState) {
  SpriteRenderObject2D marker(nullptr, nullptr);
  marker.setPosition(Vector2D{0.5f, 0.25f});

  EXPECT_EQ(lockInput(nullptr), 0);
  EXPECT_TRUE(inputLocked);
  EXPECT_EQ(unlockInput(nullptr), 0);
  EXPECT_FALSE(inputLocked);

  markerSpeed = 2.0f;
  EXPECT_EQ(stopMarker(nullptr), 0);
  EXPECT_EQ(markerSpeed, 0.0f);

  frameSeconds = 0.25f;
  EXPECT_EQ(slideMarkerRight(&marker), 0);
  EXPECT_EQ(marker.getPosition().x, 1.0f);
  EXPECT_EQ(marker.getPosition().y, 0.25f);

  EXPECT_EQ(restartAfterMistake(&marker), 0);
  EXPECT_EQ(marker.getPosition().x, -1.8375f);
  EXPECT_EQ(marker.getPosition().y, 0.0f);
  EXPECT_EQ(incorrectGuesses, 1);

  EXPECT_EQ(parkMarkerOffLeft(&marker), 0);
  EXPECT_EQ(marker.getPosition().x, -2.5f);

  EXPECT_FALSE(isLastLevel(nullptr));
  for (int i = 0; i < 17; ++i) advanceLevel(nullptr);
  EXPECT_EQ(currentLevel, 17u);
  EXPECT_TRUE(isLastLevel(nullptr));

  const int32_t mode = gameMode;
  EXPECT_EQ(enterFinalVerdict(nullptr), 0);
  EXPECT_EQ(gameMode, 5);
  gameMode = mode;

  // No marker: nothing moves and nothing is counted.
  EXPECT_EQ(restartAfterMistake(nullptr), -1);
  EXPECT_EQ(incorrectGuesses, 1);

  resetGameState();
  EXPECT_EQ(currentLevel, 0u);
  EXPECT_EQ(incorrectGuesses, 0);
}

}  // namespace
}  // namespace zt
