#include "platform/web/page_input.h"

#include <emscripten.h>

#include <cstring>

namespace zt {

namespace {

// The buttons a pad at `index` holds (a PadButton mask), or -1 when there is
// none there. Pads of the standard mapping only: the south button is 0,
// Back / Select 8, the d-pad's right 15.
// clang-format off
EM_JS(int, padButtons, (int index), {
  const pads = navigator.getGamepads ? navigator.getGamepads() : [];
  const pad = pads && pads[index];
  if (!pad || !pad.connected || pad.mapping !== "standard") return -1;
  const held = (i) => pad.buttons[i] && pad.buttons[i].pressed;
  return (held(0) ? 1 : 0) | (held(15) ? 2 : 0) | (held(8) ? 4 : 0);
});
// clang-format on

// The Gamepad API numbers at most four pads.
constexpr int kPadSlots = 4;

// The game's key on the keyboard at `code` (the DOM's name of where a key
// is, whatever it types), as the button PadKeys knows it by; 0 for none.
uint8_t gameKey(const char* code) {
  if (std::strcmp(code, "KeyD") == 0) return kPadSouth;
  if (std::strcmp(code, "ArrowRight") == 0) return kPadRight;
  if (std::strcmp(code, "Escape") == 0) return kPadBack;
  return 0;
}

}  // namespace

PageInput::KeyUse PageInput::key(bool down, const char* code, const char* key, uint32_t modifiers,
                                 std::vector<WindowMessage>& messages) {
  const uint8_t button = gameKey(code);
  if (!down) {
    // A key let go is the game's if it went down for the game, whatever is
    // held with it now.
    if (!(keyboard_ & button)) return KeyUse::Browser;
    keyboard_ = static_cast<uint8_t>(keyboard_ & ~button);
    keys_.set(kKeyboard, static_cast<PadButton>(button), false, messages);
    return KeyUse::Game;
  }
  // With Control or Meta it is the browser's: reload, zoom, find, print...
  if (modifiers & (kControl | kMeta)) return KeyUse::Browser;
  if (std::strcmp(code, "F11") == 0) return KeyUse::FullScreen;
  if (modifiers & kAlt) {
    if (std::strcmp(code, "Enter") == 0) return KeyUse::FullScreen;
    // Alt+? and Alt+/ are the About box's accelerators; every other key
    // with Alt is the browser's (Alt+Left goes back).
    if (std::strcmp(key, "/") != 0 && std::strcmp(key, "?") != 0) return KeyUse::Browser;
    messages.push_back({WindowMessage::Kind::Command, kCommandAbout});
    return KeyUse::Game;
  }
  if (!button) return KeyUse::Browser;
  // The keyboard's repeats of a held key press nothing again.
  keyboard_ = static_cast<uint8_t>(keyboard_ | button);
  keys_.set(kKeyboard, static_cast<PadButton>(button), true, messages);
  return KeyUse::Game;
}

void PageInput::touch(int32_t id, bool down, Control control,
                      std::vector<WindowMessage>& messages) {
  const bool quit = control == Control::Quit;
  std::set<int32_t>& on = quit ? onQuit_ : onPicture_;
  if (down) {
    on.insert(id);
  } else {
    on.erase(id);
  }
  keys_.set(quit ? kQuitControl : kPicture, quit ? kPadBack : kPadSouth, !on.empty(), messages);
}

void PageInput::readPads(std::vector<WindowMessage>& messages) {
  if (!readingPads_) return;
  for (int pad = 0; pad < kPadSlots; ++pad) {
    const int held = padButtons(pad);
    if (held < 0) {
      keys_.remove(pad, messages);
    } else {
      keys_.update(pad, static_cast<uint8_t>(held), messages);
    }
  }
}

void PageInput::letGo(std::vector<WindowMessage>& messages) {
  for (int32_t source :
       {int32_t{kKeyboard}, int32_t{kPicture}, int32_t{kQuitControl}, 0, 1, 2, 3}) {
    keys_.remove(source, messages);
  }
  keyboard_ = 0;
  onPicture_.clear();
  onQuit_.clear();
}

}  // namespace zt
