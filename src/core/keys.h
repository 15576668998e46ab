#pragma once

#include <cstdint>

namespace zt {

// Virtual-key codes of the three keys the game reads.
constexpr uint32_t kVkRight = 0x27;
constexpr uint32_t kVkD = 0x44;
constexpr uint32_t kVkEscape = 0x1B;

// Slots of the three keys the game reads.
enum KeyIndex { kKeyRight = 0, kKeyD = 1, kKeyEscape = 2 };

// The slot for a virtual-key code, or -1 for keys the game ignores.
int keyIndexFor(uint32_t virtualKey);

// The state of the three keys, 1.0 down and 0.0 up, with the value each had
// before its last change while that change is new. The window procedure
// writes it, the frame loop settles it, the modes and the judge read it.
struct KeyState {
  float currentKeys[3] = {0.0f, 0.0f, 0.0f};
  float previousKeys[3] = {0.0f, 0.0f, 0.0f};
  // No key message has come since the end of the last frame's work.
  bool keysSettled = true;

  // A key-down (down = true) or key-up message; other keys change nothing.
  void handleKeyMessage(uint32_t virtualKey, bool down);
  // At the start of a frame: a settled state forgets the last change.
  void settleAtFrameStart();
  // At the end of a frame's work, before its message step.
  void markSettled() { keysSettled = true; }

  // The right arrow or D went from 0.0 to 1.0 and the change is still new.
  bool isPlayKeyPressed() const;
  // Either play key down: the larger of the two values.
  float playKeyHeld() const;
  bool isEscapeHeld() const { return currentKeys[kKeyEscape] == 1.0f; }
};

}  // namespace zt
