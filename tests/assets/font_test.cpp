#include <gtest/gtest.h>

#include <map>
#include <set>

#include "asset_files.h"

namespace zt::test {
namespace {

const std::map<int, Picture>& glyphs() {
  static const std::map<int, Picture> all = [] {
    std::map<int, Picture> m;
    for (int code = resource_files::kFirstGlyph; code <= resource_files::kLastGlyph; ++code)
      if (auto p = readPicture(glyphPath(code))) m[code] = *p;
    return m;
  }();
  return all;
}

TEST(AssetFont, ExactlyTheEightyThreeGlyphFilesExist) {
  for (int code = 0; code < 128; ++code) {
    const bool expected = resource_files::hasGlyphFile(code);
    EXPECT_EQ(readPicture(glyphPath(code)).has_value(), expected) << "character code " << code;
  }
  EXPECT_EQ(glyphs().size(), static_cast<size_t>(resource_files::kGlyphCount));
}

TEST(AssetFont, GlyphsAreBlackInkOnClearWithOneHeightAndASpacingColumn) {
  uint32_t height = 0;
  for (const auto& [code, g] : glyphs()) {
    SCOPED_TRACE("character code " + std::to_string(code));
    ASSERT_EQ(g.colorType, 6);
    ASSERT_EQ(g.bitDepth, 8);
    if (height == 0) height = g.height;
    EXPECT_EQ(g.height, height);
    ASSERT_GE(g.width, 2u);
    size_t ink = 0;
    for (Pixel p : g.pixels) {
      // The loader turns opaque black white; anything else would show as is.
      ASSERT_TRUE(p == kBlack || p.a == 0);
      ink += p == kBlack;
    }
    if (code == ' ')
      EXPECT_EQ(ink, 0u);
    else
      EXPECT_GT(ink, 0u);
    // The advance is the picture's width, so the gap between letters has
    // to be inside the picture: its last column stays clear.
    for (uint32_t y = 0; y < g.height; ++y) EXPECT_EQ(g.at(g.width - 1, y).a, 0);
  }
  EXPECT_GE(height, 10u);
  EXPECT_LE(height, 12u);
}

TEST(AssetFont, EveryCharacterLooksDifferentAndWidthsVary) {
  std::map<std::vector<uint8_t>, int> seen;
  std::set<uint32_t> widths;
  for (const auto& [code, g] : glyphs()) {
    std::vector<uint8_t> key;
    for (Pixel p : g.pixels) key.push_back(p.a);
    key.push_back(static_cast<uint8_t>(g.width));
    const auto [it, fresh] = seen.emplace(key, code);
    EXPECT_TRUE(fresh) << "'" << static_cast<char>(code) << "' looks like '"
                       << static_cast<char>(it->second) << "'";
    widths.insert(g.width);
  }
  // A proportional font: 'i' narrower than 'm'.
  EXPECT_LT(glyphs().at('i').width, glyphs().at('m').width);
  EXPECT_GE(widths.size(), 4u);
}

TEST(AssetFont, EveryGameTextFitsTheScreen) {
  for (const std::string& text : gameTexts()) {
    uint32_t width = 0;
    for (char c : text) {
      ASSERT_TRUE(glyphs().count(c)) << "no glyph for '" << c << "' in \"" << text << "\"";
      width += glyphs().at(c).width;
    }
    EXPECT_LE(width, 300u) << "\"" << text << "\"";
  }
}

}  // namespace
}  // namespace zt::test
