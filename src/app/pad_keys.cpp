#include "app/pad_keys.h"

namespace zt {

namespace {

constexpr PadButton kButtons[] = {kPadSouth, kPadRight, kPadBack};

uint32_t keyOf(PadButton button) {
  switch (button) {
    case kPadSouth:
      return kVkD;
    case kPadRight:
      return kVkRight;
    case kPadBack:
      break;
  }
  return kVkEscape;
}

}  // namespace

bool PadKeys::anyHolds(PadButton button) const {
  for (const auto& pad : pads_) {
    if (pad.second & button) return true;
  }
  return false;
}

void PadKeys::set(int32_t pad, PadButton button, bool down, std::vector<WindowMessage>& messages) {
  uint8_t& held = pads_[pad];
  if (((held & button) != 0) == down) return;
  const bool before = anyHolds(button);
  held = static_cast<uint8_t>(down ? held | button : held & ~button);
  if (anyHolds(button) != before) {
    messages.push_back(
        {down ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp, keyOf(button)});
  }
}

void PadKeys::update(int32_t pad, uint8_t held, std::vector<WindowMessage>& messages) {
  for (PadButton button : kButtons) set(pad, button, (held & button) != 0, messages);
}

void PadKeys::remove(int32_t pad, std::vector<WindowMessage>& messages) {
  // Backends that poll say so of every empty slot, every frame.
  if (pads_.find(pad) == pads_.end()) return;
  update(pad, 0, messages);
  pads_.erase(pad);
}

}  // namespace zt
