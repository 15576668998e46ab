#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "scene/color.h"

namespace zt {

// Header values of the last picture loadPng decoded.
struct PngInfo {
  uint32_t height = 0;
  uint32_t width = 0;
  int32_t bitDepth = 0;
  int32_t channels = 0;
  int32_t colorType = 0;
};

// What loadPng accepts at most: pictures are a few hundred pixels across, so
// anything far beyond is a broken or hostile header, refused before
// allocating.
constexpr uint32_t kMaxPictureSide = 16384;
constexpr uint64_t kMaxPictureBytes = uint64_t{256} << 20;

// Decodes a PNG file into 8-bit RGBA bytes, top row first, and fills info.
// Any valid PNG is converted to 8-bit RGBA (info then describes the result:
// bit depth 8, 4 channels, colour type 6). On any failure prints
// "Error: bad PNG file" and returns null, leaving info unchanged.
std::unique_ptr<uint8_t[]> loadPng(PngInfo& info, const std::string& fileName);

// A decoded picture: 4 bytes R, G, B, A per pixel, bottom row first, rows of
// `width` pixels with no gap.
class Image {
 public:
  // Copies width x height RGBA pixels given top row first, turning the rows.
  Image(uint32_t width, uint32_t height, const uint8_t* topFirstBytes);

  int32_t id;
  uint32_t width;  // may be lowered later (narrowing), never raised
  uint32_t height;
  int32_t format = 6;
  int32_t bitsPerPixel = 32;
  std::unique_ptr<uint8_t[]> pixels;
  // The width the pixels were loaded with; narrowing never goes past it.
  const uint32_t loadedWidth;
};

// The process-wide Image counter (starts at 0).
extern int32_t nextImageId;

// loadPng + Image + release of the loader's buffer; null when loading failed.
// When info is given it receives the picture's header values.
Image* loadImage(const std::string& fileName, PngInfo* info = nullptr);

// Recolours pixels in place: each pixel equal (all four bytes) to from[k],
// for the first such k, becomes to[k]; comparisons read a snapshot taken
// before any change. Null image or count <= 0 changes nothing.
void swapColors(Image* image, const Color* from, const Color* to, int32_t count);

// Sets the drawn width of a picture, kept within 1 .. loadedWidth.
void narrowImage(Image* image, int64_t width);

}  // namespace zt
