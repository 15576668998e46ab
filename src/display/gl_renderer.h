#pragma once

#include <cstdint>

#include "core/screen.h"
#include "scene/display_interface.h"

namespace zt {

// The display in OpenGL 1.1 on the context current on this thread: every
// picture goes to the window with glDrawPixels, enlarged by a whole number
// (2 x 2 in a 640 x 480 client area) and blended over what is there. No
// textures: every pixel is transferred at every draw.
class GlRenderer final : public Renderer {
 public:
  explicit GlRenderer(Vector2D center = kViewCenter, float width = kViewWidth,
                      float height = kViewHeight);

  // The viewport, pixel zoom, blending and clear colour, then a projection
  // of the world view; always 0.
  int32_t initialize() override;
  void drawImage(const Image* image, int32_t x, int32_t y) override;
  // Clears the whole client area, the margins around the picture too.
  void clear() override;
  // glFinish: the frame is complete. Showing it is the platform's (its
  // buffer swap), which the game asks for next.
  void present() override;
  void applyClearColor(const Color& color) override;

  // The client area is now width x height pixels: the picture is placed
  // anew (placeScreen). Until the first call it is 640 x 480.
  void fitToClient(int32_t width, int32_t height);
  const ScreenPlacement& placement() const { return placement_; }

 private:
  void applyPlacement();

  int32_t clientWidth_ = static_cast<int32_t>(kWindowWidth);
  int32_t clientHeight_ = static_cast<int32_t>(kWindowHeight);
  ScreenPlacement placement_ = placeScreen(clientWidth_, clientHeight_);
  // How many picture sizes the viewport reaches past each edge of the
  // picture: 2 where OpenGL allows a viewport that large.
  int32_t margin_ = 2;
  bool initialized_ = false;
  bool scissored_ = false;  // the picture does not fill the client area
};

}  // namespace zt
