#pragma once

#include <string>

#include "canvas.h"

namespace zt::assetgen {

// Writes the picture as an 8-bit RGBA PNG (colour type 6) with no time or
// text chunks, so equal pictures give equal files. Returns false and fills
// error when the file cannot be written.
bool writePng(const std::string& path, const Canvas& picture, std::string& error);

}  // namespace zt::assetgen
