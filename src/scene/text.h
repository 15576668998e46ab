#pragma once

#include <cstdint>
#include <string>

#include "scene/color.h"

namespace zt {

class Image;

// One character of the bitmap font. An empty glyph (all zero, no image)
// measures 0 x 0 and draws nothing.
struct Glyph {
  uint32_t advanceWidth = 0;
  uint32_t height = 0;
  int32_t reserved = 0;
  uint32_t yOffset = 0;
  uint32_t spacing = 0;
  Image* image = nullptr;
};

class Font {
 public:
  explicit Font(const Color& color);

  // Stores the glyph for codes 0..127 and returns 0; -1 for any other code.
  int32_t setGlyph(signed char character, Glyph* glyph);
  // The glyph for a byte; an empty glyph for codes without one (including
  // bytes of 128 and more).
  const Glyph& glyphFor(unsigned char character) const;

  int32_t id;
  Color color;
  Glyph* glyphs[128] = {};
};

// The process-wide Font counter (starts at 0).
extern int32_t nextFontId;

// Builds the game's font from base + "resources/font/zorp_NNN.png" for codes
// 32..122 except the eight without a glyph; glyphs recoloured black to white.
Font* loadFont(const std::string& base);

}  // namespace zt
