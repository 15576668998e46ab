#include "display/gl_renderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <limits>
#include <utility>

#include "core/image.h"

namespace zt {

GlRenderer::GlRenderer(std::function<void()> swapBuffers, Vector2D center, float width,
                       float height)
    : Renderer(center, width, height), swapBuffers_(std::move(swapBuffers)) {}

int32_t GlRenderer::initialize() {
  const GLint w = static_cast<GLint>(windowWidth);
  const GLint h = static_cast<GLint>(windowHeight);
  // The viewport reaches two window sizes past every edge, so a picture whose
  // corner lies left of or below the window still gets a valid raster
  // position and is clipped by the window instead of dropped.
  glViewport(-2 * w, -2 * h, 5 * w, 5 * h);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const bool sized = logicalWidth != 0 && logicalHeight != 0;
  const float xScale = sized ? static_cast<float>(windowWidth) / static_cast<float>(logicalWidth) : 0;
  const float yScale =
      sized ? static_cast<float>(windowHeight) / static_cast<float>(logicalHeight) : 0;
  if (sized) glPixelZoom(xScale, yScale);
  // Not clearColor: the frame loop sets the real one at its first mode change.
  glClearColor(0.15f, 0.15f, 0.15f, 0.0f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_BLEND);
  // Dithering would make blended pixels differ between drivers and runs.
  glDisable(GL_DITHER);
  glClear(GL_COLOR_BUFFER_BIT);

  // The world view. Nothing draws through it (pictures set their own
  // projection), but it is the state the display leaves.
  if (!sized) return 0;
  const float left = viewCenter.x - viewWidth / 2.0f;
  const float right = left + viewWidth * xScale;
  const float top = viewCenter.y + viewHeight / 2.0f;
  const float bottom = top - viewHeight * yScale;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(left, right, bottom, top, 1.0, -1.0);
  glMatrixMode(GL_MODELVIEW);
  return 0;
}

void GlRenderer::drawImage(const Image* image, int32_t x, int32_t y) {
  if (!image || !image->pixels) return;
  if (logicalWidth == 0 || logicalHeight == 0) return;
  const int64_t w = windowWidth;
  const int64_t h = windowHeight;
  // 64-bit so far-off positions cannot overflow; such a corner lies outside
  // the enlarged viewport anyway and would not be drawn.
  const int64_t rx = w * x / static_cast<int64_t>(logicalWidth);
  const int64_t ry =
      h - (static_cast<int64_t>(y) + image->height) * h / static_cast<int64_t>(logicalHeight);
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

void GlRenderer::clear() {
  glClear(GL_COLOR_BUFFER_BIT);
}

void GlRenderer::present() {
  glFinish();
  if (swapBuffers_) swapBuffers_();
}

void GlRenderer::applyClearColor(const Color& color) {
  glClearColor(color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f);
}

}  // namespace zt
