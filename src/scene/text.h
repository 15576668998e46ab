#pragma once

#include <cstdint>
#include <string>

#include "core/color.h"
#include "core/id_counter.h"

namespace zt {

class Image;
class Store;

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
  Font(IdCounter& ids, const Color& color);

  // Stores the glyph for codes 0..127 and returns 0; -1 for any other code.
  int32_t setGlyph(signed char character, Glyph* glyph);
  // The glyph for a byte; an empty glyph for codes without one (including
  // bytes of 128 and more).
  const Glyph& glyphFor(unsigned char character) const;

  int32_t id;
  Color color;
  Glyph* glyphs[128] = {};
};

// Builds the game's font from base + "resources/font/zorp_NNN.png" for every
// code that has a glyph file; the glyphs, drawn black, are recoloured white.
// A glyph whose picture fails to load measures 0 x 0 and draws nothing. The
// font, its glyphs and their pictures belong to the store.
Font* loadFont(Store& store, RunningIds& ids, const std::string& base);

}  // namespace zt
