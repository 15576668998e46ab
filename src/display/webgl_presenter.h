#pragma once

#include <cstdint>

#include "display/software_renderer.h"

namespace zt {

// Shows the composed display through WebGL (OpenGL ES 2), which has no
// glDrawPixels: the frame goes up as one texture a frame and is drawn as
// one quad at the display's placement, with nearest sampling, so that each
// logical pixel is a sharp square of the zoom's size and the picture is the
// OpenGL display's window pixel for pixel; the margins take the display's
// margin colour. The context is the platform's and must be current.
class WebGlPresenter {
 public:
  // The shaders, the quad and the frame's texture, on the current context.
  void initialize();
  // The display's finished frame on a drawing buffer of width x height
  // pixels, placed as the display places it in a client area of that size.
  void show(SoftwareRenderer& display, int32_t width, int32_t height);

 private:
  uint32_t program_ = 0;
  uint32_t texture_ = 0;
  uint32_t quad_ = 0;
};

}  // namespace zt
