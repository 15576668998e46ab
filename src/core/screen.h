#pragma once

#include <cstdint>

#include "core/vector2d.h"

namespace zt {

// The window's client area and the logical screen shown in it: every
// drawing position is a logical pixel, each covering 2 x 2 window pixels.
constexpr uint32_t kWindowWidth = 640;
constexpr uint32_t kWindowHeight = 480;
constexpr uint32_t kLogicalWidth = 320;
constexpr uint32_t kLogicalHeight = 240;

// The part of the world the logical screen shows: centred on (0, 0), 4 x 3
// world units, so one unit is 80 logical pixels.
constexpr Vector2D kViewCenter{0.0f, 0.0f};
constexpr float kViewWidth = 4.0f;
constexpr float kViewHeight = 3.0f;

// Where the logical screen lies in a client area of any size: enlarged by
// the largest whole number that fits (at least 1, so a small client shows
// the middle of it), centred; the rest of the client area shows the clear
// colour. x and y count from the client area's lower-left corner, as
// OpenGL's window coordinates do. A 640 x 480 client area is filled at 2.
struct ScreenPlacement {
  int32_t zoom;
  int32_t x, y;
  int32_t width, height;
};

// A picture whose lower-left corner lies more than this many screen sizes
// past any edge of the logical screen is not drawn at all; nearer, it is
// clipped. Every display keeps to it, so all show the same pixels.
constexpr int64_t kPictureReach = 2;

constexpr ScreenPlacement placeScreen(int32_t clientWidth, int32_t clientHeight) {
  const int32_t across = clientWidth / static_cast<int32_t>(kLogicalWidth);
  const int32_t down = clientHeight / static_cast<int32_t>(kLogicalHeight);
  const int32_t zoom = across < down ? (across < 1 ? 1 : across) : (down < 1 ? 1 : down);
  const int32_t width = zoom * static_cast<int32_t>(kLogicalWidth);
  const int32_t height = zoom * static_cast<int32_t>(kLogicalHeight);
  return ScreenPlacement{zoom, (clientWidth - width) / 2, (clientHeight - height) / 2, width,
                         height};
}

// The whole zoom a window opens at on a screen of `dpi` dots per inch (96
// at a scale of 100 %): twice the scale, rounded down (2 at 100 % and 125 %,
// 3 at 150 %, 4 at 200 %), never below 1.
constexpr int32_t zoomForDpi(uint32_t dpi) {
  return dpi < 96 ? 1 : static_cast<int32_t>(dpi * 2 / 96);
}

}  // namespace zt
