#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace zt::assetgen {

// One picture of an icon file and the colour depth it is stored at: 4 (the
// 16 standard colours), 8 (a 256-colour palette) or 32 (BGRA with alpha).
struct IconEntry {
  Canvas picture;
  int bitsPerPixel;
};

// A Windows .ico file: a directory of bitmap (DIB) entries, each with its
// colour bitmap and a 1-bit transparency (AND) mask, as the resource
// compiler takes them. Pictures must be square and at most 256 wide.
std::vector<uint8_t> encodeIcon(const std::vector<IconEntry>& entries);

}  // namespace zt::assetgen
