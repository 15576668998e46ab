#include "display/display_interface.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <limits>

#include "scene/image.h"

namespace zt {

namespace {

int32_t initializeDisplay(DisplayInterface& display) {
  const GLint w = static_cast<GLint>(display.windowWidth_);
  const GLint h = static_cast<GLint>(display.windowHeight_);
  // The viewport reaches two window sizes past every edge, so a picture whose
  // corner lies left of or below the window still gets a valid raster
  // position and is clipped by the window instead of dropped.
  glViewport(-2 * w, -2 * h, 5 * w, 5 * h);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (display.logicalWidth_ != 0 && display.logicalHeight_ != 0) {
    glPixelZoom(
        static_cast<float>(display.windowWidth_) / static_cast<float>(display.logicalWidth_),
        static_cast<float>(display.windowHeight_) / static_cast<float>(display.logicalHeight_));
  }
  // Not clearColor: the frame loop sets the real one at its first mode change.
  glClearColor(0.15f, 0.15f, 0.15f, 0.0f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_BLEND);
  // Dithering would make blended pixels differ between drivers and runs.
  glDisable(GL_DITHER);
  glClear(GL_COLOR_BUFFER_BIT);
  return 0;
}

void drawImage(const DisplayInterface& display, const Image* image, int32_t x, int32_t y) {
  if (!image || !image->pixels) return;
  if (display.logicalWidth_ == 0 || display.logicalHeight_ == 0) return;
  const int64_t w = display.windowWidth_;
  const int64_t h = display.windowHeight_;
  // 64-bit so far-off positions cannot overflow; such a corner lies outside
  // the enlarged viewport anyway and would not be drawn.
  const int64_t rx = w * x / static_cast<int64_t>(display.logicalWidth_);
  const int64_t ry = h - (static_cast<int64_t>(y) + image->height) * h /
                             static_cast<int64_t>(display.logicalHeight_);
  constexpr int64_t kMin = std::numeric_limits<GLint>::min();
  constexpr int64_t kMax = std::numeric_limits<GLint>::max();
  if (rx < kMin || rx > kMax || ry < kMin || ry > kMax) return;

  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // One unit per window pixel across the enlarged viewport, (0, 0) at the
  // window's lower-left corner.
  gluOrtho2D(-2.0 * w, 3.0 * w, -2.0 * h, 3.0 * h);
  glRasterPos2i(static_cast<GLint>(rx), static_cast<GLint>(ry));
  glDrawPixels(static_cast<GLsizei>(image->width), static_cast<GLsizei>(image->height), GL_RGBA,
               GL_UNSIGNED_BYTE, image->pixels.get());
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void clear() {
  glClear(GL_COLOR_BUFFER_BIT);
}

void present(DisplayInterface& display) {
  glFinish();
  if (display.swapBuffers) display.swapBuffers();
}

int32_t initializeView(const Renderer& renderer) {
  if (renderer.logicalWidth_ == 0 || renderer.logicalHeight_ == 0) return 0;
  const float xScale =
      static_cast<float>(renderer.windowWidth_) / static_cast<float>(renderer.logicalWidth_);
  const float yScale =
      static_cast<float>(renderer.windowHeight_) / static_cast<float>(renderer.logicalHeight_);
  const float left = renderer.viewCenter.x - renderer.viewWidth / 2.0f;
  const float right = left + renderer.viewWidth * xScale;
  const float top = renderer.viewCenter.y + renderer.viewHeight / 2.0f;
  const float bottom = top - renderer.viewHeight * yScale;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(left, right, bottom, top, 1.0, -1.0);
  glMatrixMode(GL_MODELVIEW);
  return 0;
}

void resizeView(const Renderer& renderer, uint32_t width, uint32_t height) {
  const Vector2D c = renderer.viewCenter;
  const float halfWidth = renderer.viewWidth / 2.0f;
  const float halfHeight = renderer.viewHeight / 2.0f;
  glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(c.x - halfWidth, c.x + halfWidth, c.y - halfHeight, c.y + halfHeight, 1.0, -1.0);
  glMatrixMode(GL_MODELVIEW);
}

const OpenGlCalls kOpenGlCalls = {
    initializeDisplay, drawImage, clear, present, initializeView, resizeView,
};

}  // namespace

DisplayInterface::DisplayInterface() : gl_(&kOpenGlCalls) {}

void setClearColor(DisplayInterface* display, const Color* color) {
  if (!display || !color) return;
  display->clearColor = *color;
  glClearColor(color->r / 255.0f, color->g / 255.0f, color->b / 255.0f, color->a / 255.0f);
}

}  // namespace zt
