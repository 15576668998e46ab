// The browser backend: what a desktop backend does with a window, done with
// the page. The page (page/zummertock.js) owns the start overlay, full
// screen, the About dialog's markup and the downloads; it hands the game the
// keys it does not keep and calls back into main.cpp.
#include "platform/web/web_platform.h"

#include <emscripten.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "program/strings.h"

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

// clang-format off
EM_JS(void, showAboutBox, (const char* caption, const char* version, const char* notice), {
  ztShowAbout(UTF8ToString(caption), UTF8ToString(version), UTF8ToString(notice));
});
// clang-format on

// The browser's name of where a key is as the virtual-key code the game reads; 0
// for keys it answers and ignores.
uint32_t virtualKey(const char* key) {
  if (std::strcmp(key, "ArrowRight") == 0) return kVkRight;
  if (std::strcmp(key, "KeyD") == 0) return kVkD;
  if (std::strcmp(key, "Escape") == 0) return kVkEscape;
  return 0;
}

}  // namespace

bool WebPlatform::createContext() {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = false;  // a window shows no alpha
  attributes.depth = false;
  attributes.antialias = false;
  attributes.premultipliedAlpha = false;
  // Kept after it is shown, so that the page can be read back (the tests).
  attributes.preserveDrawingBuffer = true;
  context_ = emscripten_webgl_create_context("#canvas", &attributes);
  if (context_ <= 0 ||
      emscripten_webgl_make_context_current(context_) != EMSCRIPTEN_RESULT_SUCCESS) {
    std::fputs("Error: couldn't create a WebGL context.\n", stderr);
    return false;
  }
  presenter_.initialize();
  return true;
}

void WebPlatform::keyEvent(bool down, const char* code, const char* key, bool alt) {
  WindowMessage message{down ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp,
                        virtualKey(code)};
  if (alt) {
    // Alt+? and Alt+/ are the About box's accelerators; every other key
    // pressed with Alt is a system key the game never sees.
    const bool about = std::strcmp(key, "/") == 0 || std::strcmp(key, "?") == 0;
    if (!down || !about) return;
    message = WindowMessage{WindowMessage::Kind::Command, kCommandAbout};
  }
  queue_.post(message);
}

bool WebPlatform::pumpOneMessage(std::vector<WindowMessage>& taken) {
  // The pads' buttons join the queue as the keys' own messages would.
  padMessages_.clear();
  for (int pad = 0; pad < kPadSlots; ++pad) {
    const int held = padButtons(pad);
    if (held < 0) {
      pads_.remove(pad, padMessages_);
    } else {
      pads_.update(pad, static_cast<uint8_t>(held), padMessages_);
    }
  }
  for (const WindowMessage& message : padMessages_) queue_.post(message);
  return queue_.takeStep(taken);
}

void WebPlatform::showFrame() {
  int width = 0, height = 0;
  emscripten_get_canvas_element_size("#canvas", &width, &height);
  presenter_.show(display_, width, height);
}

int64_t WebPlatform::counter() {
  return static_cast<int64_t>(std::llround(emscripten_get_now() * 1000.0));
}

void WebPlatform::runAboutBox() {
  aboutOpen_ = true;
  showAboutBox(ZT_ABOUT_CAPTION, ZT_ABOUT_VERSION, ZT_ABOUT_NOTICE);
}

}  // namespace zt
