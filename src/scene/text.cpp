#include "scene/text.h"

#include <cstdio>
#include <utility>

#include "core/image.h"
#include "core/resource_files.h"
#include "core/store.h"
#include "scene/display_interface.h"
#include "scene/game_object.h"
#include "scene/image_file.h"

namespace zt {

namespace {

const Glyph kEmptyGlyph{};

const Glyph& glyphOf(const Font* font, unsigned char character) {
  return font ? font->glyphFor(character) : kEmptyGlyph;
}

}  // namespace

Font::Font(IdCounter& ids, const Color& color) : id(ids.take()), color(color) {}

int32_t Font::setGlyph(signed char character, Glyph* glyph) {
  if (character < 0) return -1;
  glyphs[static_cast<unsigned char>(character)] = glyph;
  return 0;
}

const Glyph& Font::glyphFor(unsigned char character) const {
  if (character >= 128 || !glyphs[character]) return kEmptyGlyph;
  return *glyphs[character];
}

Font* loadFont(Store& store, RunningIds& ids, const std::string& base) {
  Font* font = store.make<Font>(ids.fonts, kWhite);
  for (int code = resource_files::kFirstGlyph; code <= resource_files::kLastGlyph; ++code) {
    if (!resource_files::hasGlyphFile(code)) continue;
    Glyph* glyph = store.make<Glyph>();
    PngInfo info;
    const std::string file = base + resource_files::kFolder + resource_files::glyphFile(code);
    if (Image* image = store.keep(loadImage(ids.images, file, &info))) {
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

TextObject::TextObject(IdCounter& ids, std::string text, Font* font, DisplayInterface* display)
    : DrawingObject(ids, display), font(font) {
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
    const uint32_t windowWidth = display->windowWidth;
    const uint32_t logicalWidth = display->logicalWidth;
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
