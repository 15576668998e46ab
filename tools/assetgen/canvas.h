#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zt::assetgen {

struct Rgba {
  uint8_t r, g, b, a;
};

inline bool operator==(const Rgba& p, const Rgba& q) {
  return p.r == q.r && p.g == q.g && p.b == q.b && p.a == q.a;
}
inline bool operator!=(const Rgba& p, const Rgba& q) {
  return !(p == q);
}

constexpr Rgba kClear{0, 0, 0, 0};
constexpr Rgba kOpaqueBlack{0, 0, 0, 255};
constexpr Rgba kOpaqueWhite{255, 255, 255, 255};

// A picture being drawn: RGBA pixels, top row first. Every write is clipped
// to the picture, so drawing code can overhang the edges freely.
class Canvas {
 public:
  Canvas() = default;
  Canvas(int width, int height, Rgba fill = kClear);

  int width() const { return width_; }
  int height() const { return height_; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  Rgba get(int x, int y) const { return contains(x, y) ? pixels_[index(x, y)] : kClear; }
  void set(int x, int y, Rgba c) {
    if (contains(x, y)) pixels_[index(x, y)] = c;
  }
  // Source-over compositing of one pixel.
  void blend(int x, int y, Rgba c);

  void fillRect(int x, int y, int w, int h, Rgba c);
  // Composites src over this picture with src's top-left corner at (x, y).
  void draw(const Canvas& src, int x, int y);

  const std::vector<Rgba>& pixels() const { return pixels_; }

 private:
  size_t index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }

  int width_ = 0;
  int height_ = 0;
  std::vector<Rgba> pixels_;
};

// Each pixel becomes a factor x factor block.
Canvas scaleNearest(const Canvas& src, int factor);
// Mirror image, left to right.
Canvas mirrored(const Canvas& src);
// Box-filtered reduction to width x height (premultiplied, so transparent
// neighbours do not darken edges).
Canvas resample(const Canvas& src, int width, int height);

// Linear mix of two colours, t in 0..1.
Rgba mix(Rgba a, Rgba b, double t);

}  // namespace zt::assetgen
