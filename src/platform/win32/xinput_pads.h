#pragma once

#include <windows.h>
// After windows.h, which it builds on.
#include <xinput.h>

#include <cstdint>
#include <vector>

#include "app/pad_keys.h"
#include "app/platform.h"

namespace zt {

// The XInput pads (up to four), polled once a frame, as the key messages
// of their buttons (PadKeys). XInput is a system DLL of its own that not
// every Windows has, so it is looked up at run time; without it there are
// no pads and the keys play as before.
class XInputPads {
 public:
  using GetState = DWORD(WINAPI*)(DWORD user, XINPUT_STATE* state);

  // The system's XInputGetState, or null where there is none.
  static GetState systemGetState();

  explicit XInputPads(GetState getState) : getState_(getState) {}

  // Reads every pad and appends the key messages of what changed. A slot
  // found empty is asked again only after a second (asking an empty slot is
  // slow); `nowMs` is a millisecond clock.
  void poll(uint64_t nowMs, std::vector<WindowMessage>& messages);

 private:
  GetState getState_;
  PadKeys keys_;
  bool connected_[XUSER_MAX_COUNT] = {};
  uint64_t nextLook_[XUSER_MAX_COUNT] = {};
};

}  // namespace zt
