#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/id_counter.h"
#include "core/image.h"

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

// loadPng into a new Image (taking the next picture id); null when loading
// failed. When info is given it receives the picture's header values.
std::unique_ptr<Image> loadImage(IdCounter& ids, const std::string& fileName,
                                 PngInfo* info = nullptr);

}  // namespace zt
