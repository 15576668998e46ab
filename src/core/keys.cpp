#include "core/keys.h"

namespace zt {

int keyIndexFor(uint32_t virtualKey) {
  switch (virtualKey) {
    case kVkRight:
      return kKeyRight;
    case kVkD:
      return kKeyD;
    case kVkEscape:
      return kKeyEscape;
    default:
      return -1;
  }
}

void KeyState::handleKeyMessage(uint32_t virtualKey, bool down) {
  const int k = keyIndexFor(virtualKey);
  if (k < 0) return;
  previousKeys[k] = currentKeys[k];
  keysSettled = false;
  currentKeys[k] = down ? 1.0f : 0.0f;
}

void KeyState::settleAtFrameStart() {
  if (!keysSettled) return;
  for (int k = 0; k < 3; ++k) previousKeys[k] = currentKeys[k];
}

bool KeyState::isPlayKeyPressed() const {
  return (currentKeys[kKeyRight] == 1.0f && previousKeys[kKeyRight] == 0.0f) ||
         (currentKeys[kKeyD] == 1.0f && previousKeys[kKeyD] == 0.0f);
}

float KeyState::playKeyHeld() const {
  const float a = currentKeys[kKeyRight];
  const float d = currentKeys[kKeyD];
  return d > a ? d : a;
}

}  // namespace zt
