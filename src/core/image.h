#pragma once

#include <cstdint>
#include <memory>

#include "core/color.h"
#include "core/id_counter.h"

namespace zt {

// A decoded picture: 4 bytes R, G, B, A per pixel, bottom row first, rows of
// `width` pixels with no gap.
class Image {
 public:
  // Copies width x height RGBA pixels given top row first, turning the rows;
  // null bytes give a transparent picture.
  Image(IdCounter& ids, uint32_t width, uint32_t height, const uint8_t* topFirstBytes);

  int32_t id;
  uint32_t width;  // may be lowered later (narrowing), never raised
  uint32_t height;
  int32_t format = 6;
  int32_t bitsPerPixel = 32;
  std::unique_ptr<uint8_t[]> pixels;
  // The width the pixels were loaded with; narrowing never goes past it.
  const uint32_t loadedWidth;
};

// Recolours pixels in place: each pixel equal (all four bytes) to from[k],
// for the first such k, becomes to[k]; comparisons read a snapshot taken
// before any change. Null image or count <= 0 changes nothing.
void swapColors(Image* image, const Color* from, const Color* to, int32_t count);

// Sets the drawn width of a picture, kept within 1 .. loadedWidth.
void narrowImage(Image* image, int64_t width);

}  // namespace zt
