#include "display/display_interface.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <limits>

#include "scene/image.h"

namespace zt {

DisplayInterface::DisplayInterface() = default;

uint32_t& DisplayInterface::windowWidth() {
  return windowWidth_;
}
void DisplayInterface::setWindowWidth(uint32_t value) {
  windowWidth_ = value;
}
uint32_t& DisplayInterface::windowHeight() {
  return windowHeight_;
}
void DisplayInterface::setWindowHeight(uint32_t value) {
  windowHeight_ = value;
}
uint32_t& DisplayInterface::logicalWidth() {
  return logicalWidth_;
}
void DisplayInterface::setLogicalWidth(uint32_t value) {
  logicalWidth_ = value;
}
uint32_t& DisplayInterface::logicalHeight() {
  return logicalHeight_;
}
void DisplayInterface::setLogicalHeight(uint32_t value) {
  logicalHeight_ = value;
}

int32_t DisplayInterface::initialize() {
  const GLint w = static_cast<GLint>(windowWidth_);
  const GLint h = static_cast<GLint>(windowHeight_);
  // The viewport reaches two window sizes past every edge, so a picture whose
  // corner lies left of or below the window still gets a valid raster
  // position and is clipped by the window instead of dropped.
  glViewport(-2 * w, -2 * h, 5 * w, 5 * h);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (logicalWidth_ != 0 && logicalHeight_ != 0) {
    glPixelZoom(static_cast<float>(windowWidth_) / static_cast<float>(logicalWidth_),
                static_cast<float>(windowHeight_) / static_cast<float>(logicalHeight_));
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

void DisplayInterface::resize(uint32_t width, uint32_t height) {
  setWindowWidth(width);
  setWindowHeight(height);
}

void DisplayInterface::drawImage(const Image* image, int32_t x, int32_t y) {
  if (!image || !image->pixels) return;
  if (logicalWidth_ == 0 || logicalHeight_ == 0) return;
  const int64_t w = windowWidth_;
  const int64_t h = windowHeight_;
  // 64-bit so far-off positions cannot overflow; such a corner lies outside
  // the enlarged viewport anyway and would not be drawn.
  const int64_t rx = w * x / static_cast<int64_t>(logicalWidth_);
  const int64_t ry =
      h - (static_cast<int64_t>(y) + image->height) * h / static_cast<int64_t>(logicalHeight_);
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

void DisplayInterface::endFrame() {}

void DisplayInterface::clear() {
  glClear(GL_COLOR_BUFFER_BIT);
}

void DisplayInterface::present() {
  glFinish();
  if (swapBuffers) swapBuffers();
}

void setClearColor(DisplayInterface* display, const Color* color) {
  if (!display || !color) return;
  display->clearColor = *color;
  glClearColor(color->r / 255.0f, color->g / 255.0f, color->b / 255.0f, color->a / 255.0f);
}

Renderer::Renderer(Vector2D center, float width, float height)
    : viewCenter(center), viewWidth(std::max(width, 0.0f)), viewHeight(std::max(height, 0.0f)) {}

int32_t Renderer::initialize() {
  if (DisplayInterface::initialize() != 0) return -1;
  if (logicalWidth_ == 0 || logicalHeight_ == 0) return 0;
  const double left = viewCenter.x - viewWidth / 2.0f;
  const double right =
      left + viewWidth * (static_cast<float>(windowWidth_) / static_cast<float>(logicalWidth_));
  const double top = viewCenter.y + viewHeight / 2.0f;
  const double bottom =
      top - viewHeight * (static_cast<float>(windowHeight_) / static_cast<float>(logicalHeight_));
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(left, right, bottom, top, 1.0, -1.0);
  glMatrixMode(GL_MODELVIEW);
  return 0;
}

void Renderer::resize(uint32_t width, uint32_t height) {
  // Nothing in the game calls this: the window keeps its size.
  glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(viewCenter.x - viewWidth / 2.0f, viewCenter.x + viewWidth / 2.0f,
          viewCenter.y - viewHeight / 2.0f, viewCenter.y + viewHeight / 2.0f, 1.0, -1.0);
  glMatrixMode(GL_MODELVIEW);
}

}  // namespace zt
