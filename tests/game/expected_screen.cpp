#include "expected_screen.h"

#include <stdexcept>

#include "core/store.h"
#include "display/gl_renderer.h"
#include "platform/headless/offscreen_gl.h"
#include "scene/game_object.h"
#include "scene/text.h"
#include "test_support.h"

namespace zt::test {

struct ExpectedScreen::State {
  OffscreenGl gl;
  GlRenderer display;
  Store store;
  RunningIds ids;
  Font* font = nullptr;
};

ExpectedScreen::ExpectedScreen() : state_(new State) {
  if (!state_->gl.valid()) throw std::runtime_error("no offscreen context");
  state_->font = loadFont(state_->store, state_->ids, buildDir() + "/");
  state_->display.initialize();
}

ExpectedScreen::~ExpectedScreen() {
  delete state_;
}

std::vector<uint8_t> ExpectedScreen::texts(uint8_t r, uint8_t g, uint8_t b,
                                           const std::vector<Text>& texts) {
  const Color colour{r, g, b, 255};
  setClearColor(&state_->display, &colour);
  state_->display.clear();
  for (const Text& text : texts) {
    TextObject object(state_->ids.gameObjects, text.text, state_->font, &state_->display);
    object.x = 160;
    object.y = text.y;
    object.draw();
  }
  std::vector<uint8_t> pixels = readFramePixels(kWindowWidth, kWindowHeight);
  for (size_t alpha = 3; alpha < pixels.size(); alpha += 4) pixels[alpha] = 255;
  return pixels;
}

int differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int top,
                    int bottom) {
  int count = 0;
  const int width = static_cast<int>(kWindowWidth);
  for (int row = top; row < bottom; ++row) {
    for (int column = 0; column < width; ++column) {
      const size_t at = (static_cast<size_t>(row) * width + column) * 4;
      if (a[at] != b[at] || a[at + 1] != b[at + 1] || a[at + 2] != b[at + 2]) ++count;
    }
  }
  return count;
}

}  // namespace zt::test
