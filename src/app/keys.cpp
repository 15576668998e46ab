#include "app/keys.h"

#include <cstdio>

#include "app/platform.h"

namespace zt {

float currentKeys[3] = {0.0f, 0.0f, 0.0f};
float previousKeys[3] = {0.0f, 0.0f, 0.0f};
bool keysSettled = true;

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

void handleKeyMessage(uint32_t virtualKey, bool down) {
  int k = keyIndexFor(virtualKey);
  if (k < 0) return;
  previousKeys[k] = currentKeys[k];
  keysSettled = false;
  currentKeys[k] = down ? 1.0f : 0.0f;
}

void settleKeysAtFrameStart() {
  if (!keysSettled) return;
  for (int k = 0; k < 3; ++k) previousKeys[k] = currentKeys[k];
}

void markKeysSettled() {
  keysSettled = true;
}

bool isPlayKeyPressed() {
  return (currentKeys[kKeyRight] == 1.0f && previousKeys[kKeyRight] == 0.0f) ||
         (currentKeys[kKeyD] == 1.0f && previousKeys[kKeyD] == 0.0f);
}

bool isEscapeHeld() {
  return currentKeys[kKeyEscape] == 1.0f;
}

void resetKeys() {
  for (int k = 0; k < 3; ++k) currentKeys[k] = previousKeys[k] = 0.0f;
  keysSettled = true;
}

// The input module's own window handle; this program never fills it.
static void* inputWindow = nullptr;

int32_t InputInterface::initialize() {
  if (!inputWindow) {
    std::fputs("Input Interface error: No window handle available.", stdout);
    return -1;
  }
  return 0;
}

int32_t InputInterface::update() {
  return 0;
}

}  // namespace zt
