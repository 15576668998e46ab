#include "display/software_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/image.h"

namespace zt {

namespace {

// A colour component as the OpenGL display's driver stores it in an 8-bit
// channel: clamped, times 255, rounded to nearest (0.15 gives 38; byte / 255
// gives the byte back).
uint8_t unormByte(float value) {
  if (!(value > 0.0f)) return 0;
  if (value >= 1.0f) return 255;
  return static_cast<uint8_t>(std::lrint(value * 255.0f));
}

// u x v / 255 for bytes, rounded as the driver's 8-bit blending does it.
// Measured over every source, destination and alpha byte: with it,
// src x alpha + dst x (255 - alpha) equals the OpenGL frame exactly, and
// never passes 255. Alpha 255 copies and alpha 0 keeps, exactly.
inline uint32_t scaleByte(uint32_t u, uint32_t v) {
  uint32_t t = u * v;
  t += t >> 8;
  return (t + 128) >> 8;
}

// Where the run of pixels from `from` whose alpha is `alpha` (0 or 255)
// ends. Four pixels a step: their alpha bytes under a mask, in whatever
// byte order words have.
size_t runOfAlpha(const uint8_t* pixels, size_t from, size_t count, uint8_t alpha) {
  static const uint64_t alphaBytes = [] {
    const uint8_t bytes[8] = {0, 0, 0, 255, 0, 0, 0, 255};
    uint64_t word;
    std::memcpy(&word, bytes, 8);
    return word;
  }();
  size_t end = from;
  for (uint64_t words[2]; end + 4 <= count; end += 4) {
    std::memcpy(words, pixels + end * 4, 16);
    const bool same = alpha == 0 ? ((words[0] | words[1]) & alphaBytes) == 0
                                 : (words[0] & words[1] & alphaBytes) == alphaBytes;
    if (!same) break;
  }
  while (end < count && pixels[end * 4 + 3] == alpha) ++end;
  return end;
}

// Source over destination (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA), alpha
// channel included. The game's pictures are mostly opaque or wholly
// transparent runs: those are copied or skipped whole.
void blendRow(uint8_t* dst, const uint8_t* src, size_t count) {
  size_t i = 0;
  while (i < count) {
    const uint32_t alpha = src[i * 4 + 3];
    if (alpha == 255) {
      const size_t end = runOfAlpha(src, i, count, 255);
      std::memcpy(dst + i * 4, src + i * 4, (end - i) * 4);
      i = end;
    } else if (alpha == 0) {
      i = runOfAlpha(src, i, count, 0);
    } else {
      const uint32_t keep = 255 - alpha;
      for (size_t c = i * 4; c < i * 4 + 4; ++c) {
        dst[c] = static_cast<uint8_t>(scaleByte(src[c], alpha) + scaleByte(dst[c], keep));
      }
      ++i;
    }
  }
}

}  // namespace

SoftwareRenderer::SoftwareRenderer(Vector2D center, float width, float height)
    : Renderer(center, width, height), frame_(static_cast<size_t>(kFrameWidth) * kFrameHeight, 0) {}

int32_t SoftwareRenderer::initialize() {
  // The OpenGL display's first clear colour, not clearColor (see there).
  const uint8_t grey = unormByte(0.15f);
  clearBytes_ = Color{grey, grey, grey, 0};
  clear();
  return 0;
}

void SoftwareRenderer::drawImage(const Image* image, int32_t x, int32_t y) {
  if (!image || !image->pixels) return;
  const int64_t width = image->width;
  const int64_t height = image->height;
  const int64_t screenWidth = kFrameWidth;
  const int64_t screenHeight = kFrameHeight;
  // The OpenGL display's reach rule in logical pixels (its window pixels
  // divided by the zoom): where the lower-left corner lies decides.
  const int64_t left = x;
  const int64_t below = screenHeight - (static_cast<int64_t>(y) + height);
  if (left < -kPictureReach * screenWidth || left > (kPictureReach + 1) * screenWidth ||
      below < -kPictureReach * screenHeight || below > (kPictureReach + 1) * screenHeight) {
    return;
  }
  const int64_t x0 = std::max<int64_t>(x, 0);
  const int64_t x1 = std::min<int64_t>(x + width, screenWidth);
  const int64_t y0 = std::max<int64_t>(y, 0);
  const int64_t y1 = std::min<int64_t>(y + height, screenHeight);
  if (x0 >= x1 || y0 >= y1) return;
  for (int64_t row = y0; row < y1; ++row) {
    // Stored rows run bottom first, `width` pixels each: a narrowed picture
    // reads its bytes as shorter rows, as glDrawPixels does.
    const int64_t stored = height - 1 - (row - y);
    const uint8_t* src = image->pixels.get() + (stored * width + (x0 - x)) * 4;
    uint8_t* dst = reinterpret_cast<uint8_t*>(frame_.data()) +
                   static_cast<size_t>(row) * kFrameRowBytes + x0 * 4;
    blendRow(dst, src, static_cast<size_t>(x1 - x0));
  }
}

void SoftwareRenderer::clear() {
  const uint8_t bytes[4] = {clearBytes_.r, clearBytes_.g, clearBytes_.b, clearBytes_.a};
  uint32_t pixel;
  std::memcpy(&pixel, bytes, 4);
  // One row, then copies of it: far faster than storing word by word.
  std::fill_n(frame_.begin(), kFrameWidth, pixel);
  for (size_t row = 1; row < kFrameHeight; ++row) {
    std::memcpy(&frame_[row * kFrameWidth], frame_.data(), kFrameRowBytes);
  }
  marginColor_ = clearBytes_;
}

void SoftwareRenderer::fitToClient(int32_t width, int32_t height) {
  clientWidth_ = width;
  clientHeight_ = height;
  placement_ = placeScreen(width, height);
}

std::vector<uint8_t> SoftwareRenderer::clientPixels() const {
  const size_t width = static_cast<size_t>(std::max(clientWidth_, 0));
  const size_t height = static_cast<size_t>(std::max(clientHeight_, 0));
  std::vector<uint8_t> pixels(width * height * 4);
  const ScreenPlacement& p = placement_;
  // The placement counts rows from the bottom; these rows go from the top.
  const int64_t top = static_cast<int64_t>(height) - p.y - p.height;
  const uint8_t margin[4] = {marginColor_.r, marginColor_.g, marginColor_.b, marginColor_.a};
  for (size_t wy = 0; wy < height; ++wy) {
    for (size_t wx = 0; wx < width; ++wx) {
      const int64_t fx = static_cast<int64_t>(wx) - p.x;
      const int64_t fy = static_cast<int64_t>(wy) - top;
      const uint8_t* shown = fx >= 0 && fx < p.width && fy >= 0 && fy < p.height
                                 ? frame() + (fy / p.zoom) * kFrameRowBytes + (fx / p.zoom) * 4
                                 : margin;
      std::memcpy(&pixels[(wy * width + wx) * 4], shown, 4);
    }
  }
  return pixels;
}

void SoftwareRenderer::applyClearColor(const Color& color) {
  // Through the same floats the OpenGL display hands its driver.
  clearBytes_ = Color{unormByte(color.r / 255.0f), unormByte(color.g / 255.0f),
                      unormByte(color.b / 255.0f), unormByte(color.a / 255.0f)};
}

}  // namespace zt
