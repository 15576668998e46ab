#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace zt::assetgen {

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

void Canvas::blend(int x, int y, Rgba c) {
  if (!contains(x, y) || c.a == 0) return;
  if (c.a == 255) {
    pixels_[index(x, y)] = c;
    return;
  }
  Rgba& d = pixels_[index(x, y)];
  // Integer source-over, so results never depend on float rounding.
  const int sa = c.a;
  const int da = d.a * (255 - sa) / 255;
  const int outA = sa + da;
  auto channel = [&](int s, int dst) {
    return static_cast<uint8_t>((s * sa + dst * da + outA / 2) / outA);
  };
  d = {channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), static_cast<uint8_t>(outA)};
}

void Canvas::fillRect(int x, int y, int w, int h, Rgba c) {
  for (int j = std::max(0, y); j < std::min(height_, y + h); ++j)
    for (int i = std::max(0, x); i < std::min(width_, x + w); ++i) pixels_[index(i, j)] = c;
}

void Canvas::draw(const Canvas& src, int x, int y) {
  for (int j = 0; j < src.height(); ++j)
    for (int i = 0; i < src.width(); ++i) blend(x + i, y + j, src.get(i, j));
}

Canvas scaleNearest(const Canvas& src, int factor) {
  Canvas out(src.width() * factor, src.height() * factor);
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) out.set(x, y, src.get(x / factor, y / factor));
  return out;
}

Canvas mirrored(const Canvas& src) {
  Canvas out(src.width(), src.height());
  for (int y = 0; y < src.height(); ++y)
    for (int x = 0; x < src.width(); ++x) out.set(src.width() - 1 - x, y, src.get(x, y));
  return out;
}

Canvas resample(const Canvas& src, int width, int height) {
  Canvas out(width, height);
  // Exact area coverage in units of 1/(width*height) of a source pixel, so
  // the arithmetic stays in integers.
  const int64_t sw = src.width(), sh = src.height();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int64_t sum[4] = {0, 0, 0, 0};
      int64_t area = 0;
      const int64_t x0 = x * sw, x1 = (x + 1) * sw;  // in units of 1/width
      const int64_t y0 = y * sh, y1 = (y + 1) * sh;  // in units of 1/height
      for (int64_t sy = y0 / height; sy * height < y1 && sy < sh; ++sy) {
        const int64_t cy = std::min(y1, (sy + 1) * height) - std::max(y0, sy * height);
        for (int64_t sx = x0 / width; sx * width < x1 && sx < sw; ++sx) {
          const int64_t cx = std::min(x1, (sx + 1) * width) - std::max(x0, sx * width);
          const Rgba p = src.get(static_cast<int>(sx), static_cast<int>(sy));
          const int64_t w = cx * cy;
          sum[0] += p.r * p.a * w;
          sum[1] += p.g * p.a * w;
          sum[2] += p.b * p.a * w;
          sum[3] += p.a * w;
          area += w;
        }
      }
      if (sum[3] == 0) continue;
      auto div = [](int64_t n, int64_t d) { return static_cast<uint8_t>((n + d / 2) / d); };
      out.set(x, y,
              {div(sum[0], sum[3]), div(sum[1], sum[3]), div(sum[2], sum[3]), div(sum[3], area)});
    }
  }
  return out;
}

Rgba mix(Rgba a, Rgba b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto m = [t](uint8_t p, uint8_t q) { return static_cast<uint8_t>(std::lround(p + (q - p) * t)); };
  return {m(a.r, b.r), m(a.g, b.g), m(a.b, b.b), m(a.a, b.a)};
}

}  // namespace zt::assetgen
