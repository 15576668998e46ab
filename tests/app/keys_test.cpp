#include "app/keys.h"

#include <gtest/gtest.h>

#include "app/platform.h"

namespace zt {
namespace {

// Drives the key state the way the frame loop does: settle, the frame's
// work (here: asking whether the play key was pressed), settled, then at
// most one message.
class KeyFrames : public ::testing::Test {
 protected:
  void SetUp() override { resetKeys(); }

  // Runs one frame; returns whether it saw a press of the play key.
  bool frame(uint32_t key = 0, bool down = true, bool withMessage = false) {
    settleKeysAtFrameStart();
    const bool pressed = isPlayKeyPressed();
    markKeysSettled();
    if (withMessage) handleKeyMessage(key, down);
    return pressed;
  }
  bool frameWith(uint32_t key, bool down) { return frame(key, down, true); }
};

TEST_F(KeyFrames, APressIsSeenInExactlyTheNextFrame) {
  EXPECT_FALSE(frameWith(kVkD, true));  // the message arrives at the frame's end
  EXPECT_TRUE(frame());
  EXPECT_FALSE(frame());
  EXPECT_FALSE(frame());
  EXPECT_EQ(currentKeys[kKeyD], 1.0f);
}

TEST_F(KeyFrames, AnotherKeysMessageKeepsThePressVisibleOneMoreFrame) {
  frameWith(kVkD, true);
  EXPECT_TRUE(frameWith(kVkEscape, true));
  EXPECT_TRUE(frame());
  EXPECT_FALSE(frame());
  EXPECT_TRUE(isEscapeHeld());
}

TEST_F(KeyFrames, RightArrowWhileDIsHeldIsANewPressAndTheOtherWayRound) {
  frameWith(kVkD, true);
  frame();
  EXPECT_FALSE(frameWith(kVkRight, true));
  EXPECT_TRUE(frame());

  resetKeys();
  frameWith(kVkRight, true);
  frame();
  EXPECT_FALSE(frameWith(kVkD, true));
  EXPECT_TRUE(frame());
}

TEST_F(KeyFrames, AutoRepeatNeverMakesANewPress) {
  frameWith(kVkRight, true);
  EXPECT_TRUE(frameWith(kVkRight, true));  // the repeat stores 1.0 over 1.0
  EXPECT_FALSE(frameWith(kVkRight, true));
  EXPECT_FALSE(frame());
}

TEST_F(KeyFrames, AReleaseAndOtherKeysAreNoPress) {
  frameWith(kVkD, true);
  frame();
  frameWith(kVkD, false);
  EXPECT_FALSE(frame());
  EXPECT_EQ(currentKeys[kKeyD], 0.0f);

  // Keys the game does not read change nothing, not even the settling.
  frameWith(0x41, true);
  EXPECT_TRUE(keysSettled);
  EXPECT_EQ(keyIndexFor(0x41), -1);
  EXPECT_FALSE(frame());
}

TEST_F(KeyFrames, EscapeIsALevelNotAChange) {
  frameWith(kVkEscape, true);
  for (int i = 0; i < 5; ++i) {
    frame();
    EXPECT_TRUE(isEscapeHeld());
  }
  frameWith(kVkEscape, false);
  frame();
  EXPECT_FALSE(isEscapeHeld());
}

}  // namespace
}  // namespace zt
