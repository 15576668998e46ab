#pragma once

#include <cstdint>

namespace zt {

// A point in world units: x to the right, y upward.
struct Vector2D {
  float x = 0.0f;
  float y = 0.0f;
};

// A point on the 320 x 240 logical screen: origin top-left, y downward.
struct ScreenPoint {
  int32_t x = 0;
  int32_t y = 0;
};

}  // namespace zt
