#include "scene/display_interface.h"

#include <cmath>
#include <limits>

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

void setClearColor(DisplayInterface* display, const Color* color) {
  if (!display || !color) return;
  display->clearColor = *color;
  display->applyClearColor(*color);
}

ScreenPoint worldToScreen(const Renderer& renderer, float x, float y) {
  const float logicalWidth = static_cast<float>(renderer.logicalWidth);
  const float logicalHeight = static_cast<float>(renderer.logicalHeight);
  const float halfWidth = static_cast<float>(renderer.logicalWidth >> 1);
  const float halfHeight = static_cast<float>(renderer.logicalHeight >> 1);
  ScreenPoint point;
  point.x =
      truncateToInt((x - renderer.viewCenter.x) / renderer.viewWidth * logicalWidth + halfWidth);
  point.y =
      truncateToInt(halfHeight - (y - renderer.viewCenter.y) / renderer.viewHeight * logicalHeight);
  return point;
}

}  // namespace zt
