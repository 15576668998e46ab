#pragma once

#include <cstdint>
#include <functional>

#include "core/screen.h"
#include "scene/display_interface.h"

namespace zt {

// The display in OpenGL 1.1 on the context current on this thread: every
// picture goes to the window with glDrawPixels at a zoom of window size over
// logical size (2 x 2), blended over what is there. No textures: every
// pixel is transferred at every draw.
class GlRenderer final : public Renderer {
 public:
  // swapBuffers shows a finished frame (the backend's buffer swap).
  explicit GlRenderer(std::function<void()> swapBuffers, Vector2D center = kViewCenter,
                      float width = kViewWidth, float height = kViewHeight);

  // The viewport, pixel zoom, blending and clear colour, then a projection
  // of the world view; always 0.
  int32_t initialize() override;
  void drawImage(const Image* image, int32_t x, int32_t y) override;
  void clear() override;
  // glFinish, then the backend's swap.
  void present() override;
  void applyClearColor(const Color& color) override;

 private:
  std::function<void()> swapBuffers_;
};

}  // namespace zt
