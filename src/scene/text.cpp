#include "scene/text.h"

#include <cstdio>
#include <utility>

#include "display/display_interface.h"
#include "scene/game_object.h"
#include "scene/image.h"

namespace zt {

int32_t nextFontId = 0;

namespace {

const Glyph kEmptyGlyph{};

// Codes in the font's range that have no glyph file.
bool hasNoGlyphFile(int code) {
  switch (code) {
    case 42:  // *
    case 60:  // <
    case 62:  // >
    case 64:  // @
    case 92:  // backslash
    case 94:  // ^
    case 95:  // _
    case 96:  // `
      return true;
    default:
      return false;
  }
}

const Glyph& glyphOf(const Font* font, unsigned char character) {
  return font ? font->glyphFor(character) : kEmptyGlyph;
}

}  // namespace

Font::Font(const Color& color) : id(nextFontId++), color(color) {}

int32_t Font::setGlyph(signed char character, Glyph* glyph) {
  if (character < 0) return -1;
  glyphs[static_cast<unsigned char>(character)] = glyph;
  return 0;
}

const Glyph& Font::glyphFor(unsigned char character) const {
  if (character >= 128 || !glyphs[character]) return kEmptyGlyph;
  return *glyphs[character];
}

Font* loadFont(const std::string& base) {
  Font* font = new Font(kWhite);
  for (int code = 32; code <= 122; ++code) {
    if (hasNoGlyphFile(code)) continue;
    char name[32];
    std::snprintf(name, sizeof name, "resources/font/zorp_%03d.png", code);
    Glyph* glyph = new Glyph();
    PngInfo info;
    if (Image* image = loadImage(base + name, &info)) {
      // The glyphs are drawn black; the game shows them white.
      swapColors(image, &kBlack, &kWhite, 1);
      glyph->advanceWidth = info.width;
      glyph->height = info.height;
      glyph->image = image;
    }
    font->setGlyph(static_cast<signed char>(code), glyph);
  }
  return font;
}

TextObject::TextObject(std::string text, Font* font, DisplayInterface* display)
    : DrawingObject(display), font(font) {
  setText(std::move(text));
}

void TextObject::setText(std::string newText) {
  text = std::move(newText);
  width = 0;
  height = 0;
  for (char c : text) {
    const Glyph& glyph = glyphOf(font, static_cast<unsigned char>(c));
    width += glyph.advanceWidth;
    if (glyph.height > height) height = glyph.height;
  }
}

void TextObject::draw() {
  if (text.empty() || !display || !font) return;
  // Positions wrap like the 32-bit unsigned sums they are; unsigned keeps
  // that defined.
  uint32_t penX = static_cast<uint32_t>(x) - width / 2;
  for (char c : text) {
    const Glyph& glyph = glyphOf(font, static_cast<unsigned char>(c));
    const uint32_t windowWidth = display->windowWidth();
    const uint32_t logicalWidth = display->logicalWidth();
    if (windowWidth == 0) return;
    // Glyph metrics are in window pixels; halve them (for a 2x window) to
    // place them on the logical screen.
    auto toLogical = [&](uint32_t v) { return v * logicalWidth / windowWidth; };
    const uint32_t top =
        static_cast<uint32_t>(y) + height - toLogical(glyph.height) - toLogical(glyph.yOffset);
    display->drawImage(glyph.image, static_cast<int32_t>(penX), static_cast<int32_t>(top));
    penX += toLogical(glyph.spacing) + glyph.advanceWidth;
  }
}

}  // namespace zt
