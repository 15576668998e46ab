#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/screen.h"
#include "scene/display_interface.h"

namespace zt {

// The display composed in memory, for where there is no glDrawPixels (the
// browser's WebGL): the logical screen as one RGBA picture, drawn with the
// same placement, clipping, reach and blending arithmetic as the OpenGL
// display, so that the frame enlarged by the placement's zoom is the OpenGL
// display's window pixel for pixel. The backend shows it: the margins in
// marginColor(), the frame at placement(), each pixel a zoom x zoom block.
// No OpenGL here: it builds anywhere the scene does.
class SoftwareRenderer final : public Renderer {
 public:
  // The frame: kLogicalWidth x kLogicalHeight pixels, 4 bytes R, G, B, A
  // each, the top row first, rows of 1280 bytes without gaps (so any
  // unpack alignment reads them). Valid until the next call that draws.
  static constexpr uint32_t kFrameWidth = kLogicalWidth;
  static constexpr uint32_t kFrameHeight = kLogicalHeight;
  static constexpr size_t kFrameRowBytes = static_cast<size_t>(kFrameWidth) * 4;

  explicit SoftwareRenderer(Vector2D center = kViewCenter, float width = kViewWidth,
                            float height = kViewHeight);

  // Clears to the OpenGL display's first clear colour; always 0.
  int32_t initialize() override;
  void drawImage(const Image* image, int32_t x, int32_t y) override;
  // The whole frame, and from now on the margins, take the clear colour.
  void clear() override;
  // Nothing to finish: every call has already changed the frame.
  void present() override {}
  void applyClearColor(const Color& color) override;

  const uint8_t* frame() const { return reinterpret_cast<const uint8_t*>(frame_.data()); }
  // What the client area outside the frame shows: the colour of the last
  // clear (not of the last applyClearColor, which has not cleared yet).
  Color marginColor() const { return marginColor_; }

  // The client area is now width x height pixels; where the frame goes in
  // it (placeScreen), as the OpenGL display would place its picture.
  void fitToClient(int32_t width, int32_t height);
  const ScreenPlacement& placement() const { return placement_; }

  // The client area as it shows, RGBA, top row first: the margins, then
  // the frame at the placement's zoom; what the OpenGL display's window
  // holds. For screenshots and backends that show no textures.
  std::vector<uint8_t> clientPixels() const;

 private:
  // A pixel's four bytes as one word, for clearing and copying whole pixels.
  std::vector<uint32_t> frame_;
  // OpenGL's initial clear colour until initialize() sets the display's.
  Color clearBytes_{0, 0, 0, 0};
  Color marginColor_{0, 0, 0, 0};
  int32_t clientWidth_ = static_cast<int32_t>(kWindowWidth);
  int32_t clientHeight_ = static_cast<int32_t>(kWindowHeight);
  ScreenPlacement placement_ = placeScreen(clientWidth_, clientHeight_);
};

}  // namespace zt
