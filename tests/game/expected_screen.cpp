#include "expected_screen.h"

#include <cstdlib>
#include <stdexcept>

#include "display/display_interface.h"
#include "platform/headless/offscreen_gl.h"
#include "scene/game_object.h"
#include "scene/image.h"
#include "scene/text.h"

namespace zt::test {

struct ExpectedScreen::State {
  OffscreenGl gl{640, 480};
  Renderer display{Vector2D{0.0f, 0.0f}, 4.0f, 3.0f};
  Font* font = nullptr;
};

ExpectedScreen::ExpectedScreen() : state_(new State) {
  if (!state_->gl.valid()) throw std::runtime_error("no offscreen context");
  const char* build = std::getenv("ZT_BUILD_DIR");
  if (!build) throw std::runtime_error("ZT_BUILD_DIR not set");
  state_->font = loadFont(std::string(build) + "/");
  state_->display.initialize();
}

ExpectedScreen::~ExpectedScreen() {
  // The game keeps its font for good; this one is the test's to give back.
  if (state_->font) {
    for (Glyph* glyph : state_->font->glyphs) {
      if (glyph) delete glyph->image;
      delete glyph;
    }
    delete state_->font;
  }
  delete state_;
}

std::vector<uint8_t> ExpectedScreen::texts(uint8_t r, uint8_t g, uint8_t b,
                                           const std::vector<Text>& texts) {
  const Color colour{r, g, b, 255};
  setClearColor(&state_->display, &colour);
  state_->display.clear();
  for (const Text& text : texts) {
    TextObject object(text.text, state_->font, &state_->display);
    object.x = 160;
    object.y = text.y;
    object.draw();
  }
  std::vector<uint8_t> pixels = readFramePixels(640, 480);
  for (size_t alpha = 3; alpha < pixels.size(); alpha += 4) pixels[alpha] = 255;
  return pixels;
}

int differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int top,
                    int bottom) {
  int count = 0;
  for (int row = top; row < bottom; ++row) {
    for (int column = 0; column < 640; ++column) {
      const size_t at = (static_cast<size_t>(row) * 640 + column) * 4;
      if (a[at] != b[at] || a[at + 1] != b[at + 1] || a[at + 2] != b[at + 2]) ++count;
    }
  }
  return count;
}

}  // namespace zt::test
