#include <gtest/gtest.h>

#include <string>

#include "core/loop_clock.h"
#include "rules/rules.h"
#include "scene/game_object.h"
#include "script/actions.h"

namespace zt {
namespace {

class LevelChangeTest : public ::testing::Test {
 protected:
  IdCounter ids;
  LevelState state;
  SpriteColorSwap swap{ids, nullptr, neutralColorPair, levelColorPairs, 2};
  ActionBinding<SpriteColorSwap> colors{nullptr, swap, state};
  TextChange name{ids, nullptr, levelNames[0]};
  ActionBinding<TextChange> names{nullptr, name, state};
};

TEST_F(LevelChangeTest, ColoursGoFromThePreviousPairToTheCurrentOne) {
  EXPECT_EQ(selectLevelColors(&colors), 0);
  EXPECT_EQ(swap.fromColors, neutralColorPair);
  EXPECT_EQ(swap.toColors, levelColorPairs);
  for (uint32_t level = 1; level <= kLastLevel; ++level) {
    state.currentLevel = level;
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
  state.currentLevel = 1;
  EXPECT_EQ(selectLevelName(&names), 0);
  EXPECT_EQ(name.text, "Half & Half");
  state.currentLevel = 17;
  EXPECT_EQ(selectLevelName(&names), 0);
  EXPECT_EQ(name.text, std::string(30, 'Q'));
}

TEST_F(LevelChangeTest, PastTheLastLevelOrWithoutABindingNothingChanges) {
  state.currentLevel = 17;
  selectLevelColors(&colors);
  selectLevelName(&names);
  for (uint32_t level : {18u, 19u, 0xFFFFFFFFu}) {
    state.currentLevel = level;
    EXPECT_EQ(selectLevelColors(&colors), -1);
    EXPECT_EQ(selectLevelName(&names), -1);
    EXPECT_EQ(swap.fromColors, levelColorPairs + 32);
    EXPECT_EQ(swap.toColors, levelColorPairs + 34);
    EXPECT_EQ(name.text, std::string(30, 'Q'));
  }
  EXPECT_EQ(selectLevelColors(nullptr), -1);
  EXPECT_EQ(selectLevelName(nullptr), -1);
}

TEST_F(LevelChangeTest, CallbacksChangeTheGameState) {
  SpriteRenderObject2D marker(ids, nullptr, nullptr);
  marker.setPosition(Vector2D{0.5f, 0.25f});
  LoopClock clock;
  clock.frameSeconds = 0.25f;
  MarkerBinding binding{marker, state, clock};

  EXPECT_EQ(lockInput(&state), 0);
  EXPECT_TRUE(state.inputLocked);
  EXPECT_EQ(unlockInput(&state), 0);
  EXPECT_FALSE(state.inputLocked);

  state.markerSpeed = 2.0f;
  EXPECT_EQ(stopMarker(&state), 0);
  EXPECT_EQ(state.markerSpeed, 0.0f);

  EXPECT_EQ(slideMarkerRight(&binding), 0);
  EXPECT_EQ(marker.getPosition().x, 1.0f);
  EXPECT_EQ(marker.getPosition().y, 0.25f);

  EXPECT_EQ(restartAfterMistake(&binding), 0);
  EXPECT_EQ(marker.getPosition().x, -1.8375f);
  EXPECT_EQ(marker.getPosition().y, 0.0f);
  EXPECT_EQ(state.incorrectGuesses, 1);

  EXPECT_EQ(parkMarkerOffLeft(&marker), 0);
  EXPECT_EQ(marker.getPosition().x, -2.5f);

  EXPECT_FALSE(isLastLevel(&state));
  for (int i = 0; i < 17; ++i) advanceLevel(&state);
  EXPECT_EQ(state.currentLevel, 17u);
  EXPECT_TRUE(isLastLevel(&state));

  // The rules only say the verdict is reached; the modes act on it.
  EXPECT_EQ(enterFinalVerdict(&state), 0);
  EXPECT_TRUE(state.verdictReached);

  // Missing arguments: nothing moves, nothing is counted or changed.
  EXPECT_EQ(restartAfterMistake(nullptr), -1);
  EXPECT_EQ(slideMarkerRight(nullptr), -1);
  EXPECT_EQ(parkMarkerOffLeft(nullptr), -1);
  EXPECT_EQ(state.incorrectGuesses, 1);
  for (FunctionAction<LevelState>::Callback change :
       {lockInput, stopMarker, advanceLevel, enterFinalVerdict}) {
    EXPECT_EQ(change(nullptr), -1);
  }
  EXPECT_FALSE(isLastLevel(nullptr));
  EXPECT_EQ(state.currentLevel, 17u);
}

}  // namespace
}  // namespace zt
