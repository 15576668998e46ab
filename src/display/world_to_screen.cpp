// Kept apart from the OpenGL code: scene objects map world points without
// pulling the display's GL calls into programs that never draw.
#include <cmath>
#include <limits>

#include "display/display_interface.h"

namespace zt {

namespace {

// Truncates toward zero; a degenerate view (zero size) gives infinities or
// NaN, which must not reach an integer conversion.
int32_t truncateToInt(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0f) return std::numeric_limits<int32_t>::max();
  if (value <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

}  // namespace

ScreenPoint worldToScreen(const Renderer& renderer, float x, float y) {
  const float logicalWidth = static_cast<float>(renderer.logicalWidth_);
  const float logicalHeight = static_cast<float>(renderer.logicalHeight_);
  const float halfWidth = static_cast<float>(renderer.logicalWidth_ >> 1);
  const float halfHeight = static_cast<float>(renderer.logicalHeight_ >> 1);
  ScreenPoint point;
  point.x =
      truncateToInt((x - renderer.viewCenter.x) / renderer.viewWidth * logicalWidth + halfWidth);
  point.y =
      truncateToInt(halfHeight - (y - renderer.viewCenter.y) / renderer.viewHeight * logicalHeight);
  return point;
}

}  // namespace zt
