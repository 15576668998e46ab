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

}  // namespace zt
