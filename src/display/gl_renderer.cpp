#include "display/gl_renderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "core/image.h"

namespace zt {

GlRenderer::GlRenderer(Vector2D center, float width, float height)
    : Renderer(center, width, height) {}

void GlRenderer::fitToClient(int32_t width, int32_t height) {
  clientWidth_ = width;
  clientHeight_ = height;
  placement_ = placeScreen(width, height);
  if (initialized_) applyPlacement();
}

void GlRenderer::applyPlacement() {
  const ScreenPlacement& p = placement_;
  // The viewport reaches past every edge of the picture, so a picture whose
  // corner lies left of or below it still gets a valid raster position and
  // is clipped instead of dropped; as far as OpenGL allows a viewport.
  GLint largest[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
  margin_ = static_cast<int32_t>(kPictureReach);
  while (margin_ > 0 &&
         ((2 * margin_ + 1) * p.width > largest[0] || (2 * margin_ + 1) * p.height > largest[1])) {
    --margin_;
  }
  glViewport(p.x - margin_ * p.width, p.y - margin_ * p.height, (2 * margin_ + 1) * p.width,
             (2 * margin_ + 1) * p.height);
  glPixelZoom(static_cast<float>(p.zoom), static_cast<float>(p.zoom));
  // Pictures reaching past the logical screen stay out of the margins.
  scissored_ = p.x != 0 || p.y != 0 || p.width != clientWidth_ || p.height != clientHeight_;
  if (scissored_) {
    glScissor(p.x, p.y, p.width, p.height);
    glEnable(GL_SCISSOR_TEST);
  } else {
    glDisable(GL_SCISSOR_TEST);
  }
}

int32_t GlRenderer::initialize() {
  initialized_ = true;
  applyPlacement();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  // Not clearColor: the frame loop sets the real one at its first mode change.
  glClearColor(0.15f, 0.15f, 0.15f, 0.0f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_BLEND);
  // Dithering would make blended pixels differ between drivers and runs.
  glDisable(GL_DITHER);
  clear();

  // The world view. Nothing draws through it (pictures set their own
  // projection), but it is the state the display leaves.
  if (logicalWidth == 0 || logicalHeight == 0) return 0;
  const float xScale = static_cast<float>(windowWidth) / static_cast<float>(logicalWidth);
  const float yScale = static_cast<float>(windowHeight) / static_cast<float>(logicalHeight);
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
  const ScreenPlacement& p = placement_;
  // The picture's lower-left corner in window pixels from the picture's own
  // lower-left corner; 64-bit, so far-off positions cannot overflow.
  const int64_t rx = static_cast<int64_t>(p.zoom) * x;
  const int64_t ry = p.height - (static_cast<int64_t>(y) + image->height) * p.zoom;
  if (rx < -kPictureReach * p.width || rx > (kPictureReach + 1) * p.width ||
      ry < -kPictureReach * p.height || ry > (kPictureReach + 1) * p.height) {
    return;
  }

  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  // One unit per window pixel across the viewport, (0, 0) at the picture's
  // lower-left corner.
  const int64_t m = margin_;
  gluOrtho2D(static_cast<double>(-m * p.width), static_cast<double>((m + 1) * p.width),
             static_cast<double>(-m * p.height), static_cast<double>((m + 1) * p.height));
  if (rx >= -m * p.width && rx <= (m + 1) * p.width && ry >= -m * p.height &&
      ry <= (m + 1) * p.height) {
    glRasterPos2i(static_cast<GLint>(rx), static_cast<GLint>(ry));
  } else {
    // Past a viewport OpenGL would not make larger: from a valid position,
    // an empty bitmap moves the raster position there.
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0.0f, 0.0f, static_cast<GLfloat>(rx), static_cast<GLfloat>(ry), nullptr);
  }
  glDrawPixels(static_cast<GLsizei>(image->width), static_cast<GLsizei>(image->height), GL_RGBA,
               GL_UNSIGNED_BYTE, image->pixels.get());
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
}

void GlRenderer::clear() {
  if (scissored_) glDisable(GL_SCISSOR_TEST);
  glClear(GL_COLOR_BUFFER_BIT);
  if (scissored_) glEnable(GL_SCISSOR_TEST);
}

void GlRenderer::present() {
  glFinish();
}

void GlRenderer::applyClearColor(const Color& color) {
  glClearColor(color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f);
}

}  // namespace zt
