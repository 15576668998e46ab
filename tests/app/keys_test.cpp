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
  // Runs one frame; returns whether it saw a press of the play key.
  bool frame(uint32_t key = 0, bool down = true, bool withMessage = false) {
    keys.settleAtFrameStart();
    const bool pressed = keys.isPlayKeyPressed();
    keys.markSettled();
    if (withMessage) keys.handleKeyMessage(key, down);
    return pressed;
  }
  bool frameWith(uint32_t key, bool down) { return frame(key, down, true); }

  KeyState keys;
};

TEST_F(KeyFrames, APressIsSeenInExactlyTheNextFrame) {
  EXPECT_FALSE(frameWith(kVkD, true));  // the message arrives at the frame's end
  EXPECT_TRUE(frame());
  EXPECT_FALSE(frame());
  EXPECT_FALSE(frame());
  EXPECT_EQ(keys.currentKeys[kKeyD], 1.0f);
}

TEST_F(KeyFrames, AnotherKeysMessageKeepsThePressVisibleOneMoreFrame) {
  frameWith(kVkD, true);
  EXPECT_TRUE(frameWith(kVkEscape, true));
  EXPECT_TRUE(frame());
  EXPECT_FALSE(frame());
  EXPECT_TRUE(keys.isEscapeHeld());
}

TEST_F(KeyFrames, RightArrowWhileDIsHeldIsANewPressAndTheOtherWayRound) {
  frameWith(kVkD, true);
  frame();
  EXPECT_FALSE(frameWith(kVkRight, true));
  EXPECT_TRUE(frame());

  keys = KeyState{};
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
  EXPECT_EQ(keys.currentKeys[kKeyD], 0.0f);

  // Keys the game does not read change nothing, not even the settling.
  frameWith(0x41, true);
  EXPECT_TRUE(keys.keysSettled);
  EXPECT_EQ(keyIndexFor(0x41), -1);
  EXPECT_FALSE(frame());
}

TEST_F(KeyFrames, EscapeIsALevelNotAChange) {
  frameWith(kVkEscape, true);
  for (int i = 0; i < 5; ++i) {
    frame();
    EXPECT_TRUE(keys.isEscapeHeld());
  }
  frameWith(kVkEscape, false);
  frame();
  EXPECT_FALSE(keys.isEscapeHeld());
}

}  // namespace
}  // namespace zt
