#pragma once

#include <string_view>

#include "canvas.h"
#include "core/resource_files.h"

namespace zt::assetgen {

// The game's bitmap font: one picture per character, all 12 pixels high,
// ink in opaque black on transparent. A picture's width is the character's
// advance, so it includes one blank column of letter spacing on the right.
constexpr int kGlyphHeight = 12;
// Rows of the picture above the capital letters.
constexpr int kGlyphTop = 2;
// Height of capitals and digits; lower case is 5 rows, descenders 2 more.
constexpr int kCapHeight = 7;

// Whether code is one of the characters the font covers: those the game
// reads a glyph file for.
inline bool hasGlyph(int code) {
  return resource_files::hasGlyphFile(code);
}

// The glyph picture of a covered character; an empty canvas otherwise.
Canvas glyphPicture(int code);

// Sum of the advances of text; characters without a glyph take no room.
int textWidth(std::string_view text);

// Draws text with the top-left of its first 12-pixel glyph box at (x, y),
// every pixel of ink as a scale x scale block of colour.
void drawText(Canvas& target, std::string_view text, int x, int y, Rgba colour, int scale = 1);

// The ink of text alone, in opaque black, one pixel per font pixel, trimmed
// to the rows from the top of the capitals to the bottom of the descenders.
Canvas textInk(std::string_view text);

}  // namespace zt::assetgen
