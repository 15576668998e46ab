// The browser backend: what a desktop backend does with a window, done with
// the page. The page (page/page.js) owns the start overlay, full screen, the
// About dialog's markup, the sound's nodes and the downloads; it passes on
// every input for PageInput to decide, and says when it is hidden or shown.
#include "platform/web/web_platform.h"

#include <emscripten.h>

#include <cmath>
#include <cstdio>

#include "platform/web/page_contract.h"
#include "program/strings.h"

namespace zt {

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

void WebPlatform::post(std::vector<WindowMessage>& messages) {
  for (const WindowMessage& message : messages) queue_.post(message);
  messages.clear();
}

PageInput::KeyUse WebPlatform::keyEvent(bool down, const char* code, const char* key,
                                        uint32_t modifiers) {
  const PageInput::KeyUse use = input_.key(down, code, key, modifiers, posted_);
  post(posted_);
  if (use == PageInput::KeyUse::FullScreen && down) zt_page_toggle_full_screen();
  return use;
}

void WebPlatform::touchEvent(int32_t id, bool down, PageInput::Control control) {
  input_.touch(id, down, control, posted_);
  post(posted_);
}

void WebPlatform::pageChanged(bool visible, bool focused) {
  if (!visible || !focused) {
    input_.letGo(posted_);
    post(posted_);
  }
  input_.setReadingPads(visible && focused);
  const double now = emscripten_get_now();
  if (!visible && !hidden_) {
    hiddenSince_ = now;
  } else if (visible && hidden_) {
    hiddenTime_ += now - hiddenSince_;
  }
  hidden_ = !visible;
}

bool WebPlatform::pumpOneMessage(std::vector<WindowMessage>& taken) {
  // The pads' buttons join the queue as the keys' own messages would.
  input_.readPads(posted_);
  post(posted_);
  return queue_.takeStep(taken);
}

void WebPlatform::showFrame() {
  int width = 0, height = 0;
  emscripten_get_canvas_element_size("#canvas", &width, &height);
  presenter_.show(display_, width, height);
}

int64_t WebPlatform::counter() {
  // The hidden time left out: to the game the page was never away.
  const double now = hidden_ ? hiddenSince_ : emscripten_get_now();
  return static_cast<int64_t>(std::llround((now - hiddenTime_) * 1000.0));
}

void WebPlatform::runAboutBox() {
  aboutOpen_ = true;
  zt_page_show_about(ZT_ABOUT_CAPTION, ZT_ABOUT_VERSION, ZT_ABOUT_NOTICE);
}

}  // namespace zt
