#include "platform/win32/xinput_pads.h"

namespace zt {

XInputPads::GetState XInputPads::systemGetState() {
  // The newest first; each Windows since XP has one of them.
  for (const wchar_t* name : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll"}) {
    if (HMODULE library = LoadLibraryW(name)) {
      if (FARPROC found = GetProcAddress(library, "XInputGetState")) {
        // Through the generic function type, which converts to any other.
        return reinterpret_cast<GetState>(reinterpret_cast<void (*)()>(found));
      }
      FreeLibrary(library);
    }
  }
  return nullptr;
}

void XInputPads::poll(uint64_t nowMs, std::vector<WindowMessage>& messages) {
  if (!getState_) return;
  for (DWORD user = 0; user < XUSER_MAX_COUNT; ++user) {
    if (!connected_[user] && nowMs < nextLook_[user]) continue;
    XINPUT_STATE state = {};
    if (getState_(user, &state) != ERROR_SUCCESS) {
      // Gone, with whatever it held let go.
      if (connected_[user]) keys_.remove(static_cast<int32_t>(user), messages);
      connected_[user] = false;
      nextLook_[user] = nowMs + 1000;
      continue;
    }
    connected_[user] = true;
    const WORD buttons = state.Gamepad.wButtons;
    uint8_t held = 0;
    if (buttons & XINPUT_GAMEPAD_A) held |= kPadSouth;
    if (buttons & XINPUT_GAMEPAD_DPAD_RIGHT) held |= kPadRight;
    if (buttons & XINPUT_GAMEPAD_BACK) held |= kPadBack;
    keys_.update(static_cast<int32_t>(user), held, messages);
  }
}

}  // namespace zt
