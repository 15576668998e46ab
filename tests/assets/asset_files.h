#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/resource_files.h"
#include "rules/rules.h"
#include "test_support.h"

// Reading the generated files with the libraries themselves (libpng,
// vorbisfile), independent of the game's own loaders.
namespace zt::test {

struct Pixel {
  uint8_t r, g, b, a;
  bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

constexpr Pixel kBlack{0, 0, 0, 255};
constexpr Pixel kWhite{255, 255, 255, 255};
constexpr Pixel kTeal{143, 224, 212, 255};

struct Picture {
  uint32_t width = 0, height = 0;
  int colorType = -1, bitDepth = -1;
  std::vector<Pixel> pixels;  // top row first
  Pixel at(uint32_t x, uint32_t y) const { return pixels[y * width + x]; }
};

// Null when the file is missing or libpng rejects it. Pictures that are not
// 8-bit RGBA come back with their header values and no pixels.
std::optional<Picture> readPicture(const std::string& path);

struct Clip {
  int channels = 0;
  long rate = 0;
  std::vector<int16_t> samples;  // interleaved, as ov_read gives them
  size_t frames() const { return channels ? samples.size() / channels : 0; }
};

std::optional<Clip> readClip(const std::string& path);

// "resources/" + name, relative to the test's working directory (the build
// directory, where the generator writes).
std::string resource(const std::string& name);

// The glyph file name of a character code, "resources/font/zorp_065.png".
std::string glyphPath(int code);

// Every text the game writes with the font whose content is fixed.
const std::vector<std::string>& gameTexts();

}  // namespace zt::test
