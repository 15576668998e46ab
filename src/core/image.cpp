#include "core/image.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zt {

Image::Image(IdCounter& ids, uint32_t width, uint32_t height, const uint8_t* topFirstBytes)
    : id(ids.take()), width(width), height(height), loadedWidth(width) {
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  pixels.reset(new uint8_t[rowBytes * height]());
  if (!topFirstBytes) return;
  // The display draws rows upward from the picture's bottom edge.
  for (uint32_t r = 0; r < height; ++r) {
    std::memcpy(pixels.get() + (height - 1 - r) * rowBytes, topFirstBytes + r * rowBytes, rowBytes);
  }
}

void swapColors(Image* image, const Color* from, const Color* to, int32_t count) {
  if (!image || !image->pixels || count <= 0 || !from || !to) return;
  const size_t bytes = static_cast<size_t>(image->width) * image->height * 4;
  // Matches are looked up in the picture as it was before this call, so a
  // pixel changes at most once and black<->white exchanges in one pass.
  const std::vector<uint8_t> snapshot(image->pixels.get(), image->pixels.get() + bytes);
  uint8_t* out = image->pixels.get();
  for (size_t at = 0; at < bytes; at += 4) {
    const Color pixel{snapshot[at], snapshot[at + 1], snapshot[at + 2], snapshot[at + 3]};
    for (int32_t k = 0; k < count; ++k) {
      if (pixel == from[k]) {
        out[at] = to[k].r;
        out[at + 1] = to[k].g;
        out[at + 2] = to[k].b;
        out[at + 3] = to[k].a;
        break;
      }
    }
  }
}

void narrowImage(Image* image, int64_t width) {
  if (!image) return;
  // Narrowing reads the same bytes as shorter rows; it must never ask for
  // more pixels than were loaded.
  const int64_t limited = std::min<int64_t>(std::max<int64_t>(width, 1), image->loadedWidth);
  image->width = static_cast<uint32_t>(limited);
}

}  // namespace zt
