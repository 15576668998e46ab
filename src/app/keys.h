#pragma once

#include <cstdint>

namespace zt {

// Key state of the three keys the game reads, 1.0 down and 0.0 up.
enum KeyIndex { kKeyRight = 0, kKeyD = 1, kKeyEscape = 2 };

extern float currentKeys[3];
extern float previousKeys[3];
extern bool keysSettled;

// The slot for a virtual-key code, or -1 for keys the game ignores.
int keyIndexFor(uint32_t virtualKey);

// A key-down (down = true) or key-up message for one of the three keys.
void handleKeyMessage(uint32_t virtualKey, bool down);

// Frame step 1: a settled state forgets the last change.
void settleKeysAtFrameStart();
// Frame step 3.
void markKeysSettled();

// The right arrow or D went from 0.0 to 1.0 and the change is still new.
bool isPlayKeyPressed();
bool isEscapeHeld();

// All six values 0.0 and keysSettled true (start-up).
void resetKeys();

// Part of the class tree; the program makes one and never calls it.
class InputInterface {
 public:
  virtual ~InputInterface() = default;
  virtual int32_t initialize();
  virtual int32_t update();
};

}  // namespace zt
