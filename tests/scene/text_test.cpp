#include "scene/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/image.h"
#include "core/store.h"
#include "doubles.h"
#include "png_files.h"
#include "scene/game_object.h"

namespace zt {
namespace {

using test::RecordingDisplay;
using Placed = RecordingDisplay::Placed;

// A font with glyphs of chosen sizes, not loaded from files.
class SceneText : public ::testing::Test {
 protected:
  Glyph& give(char c, uint32_t width, uint32_t height) {
    images.emplace_back(new Image(imageIds, width, height, nullptr));
    glyphs.emplace_back(new Glyph{width, height, 0, 0, 0, images.back().get()});
    font.setGlyph(c, glyphs.back().get());
    return *glyphs.back();
  }
  const Image* imageOf(char c) const { return font.glyphFor(static_cast<unsigned char>(c)).image; }

  IdCounter imageIds;
  IdCounter objectIds;
  IdCounter fontIds;
  Font font{fontIds, kWhite};
  RecordingDisplay display;
  std::vector<std::unique_ptr<Image>> images;
  std::vector<std::unique_ptr<Glyph>> glyphs;
};

TEST_F(SceneText, TextIsCentredOnXAndHungFromY) {
  give('A', 7, 12);
  give('B', 8, 12);
  TextObject text(objectIds, "A", &font, &display);
  text.x = 160;
  text.y = 30;
  EXPECT_EQ(text.width, 7u);
  EXPECT_EQ(text.height, 12u);
  text.draw();
  EXPECT_EQ(display.placed, (std::vector<Placed>{{imageOf('A'), 157, 36}}));

  display.placed.clear();
  text.setText("AB");
  EXPECT_EQ(text.width, 15u);
  text.draw();
  EXPECT_EQ(display.placed,
            (std::vector<Placed>{{imageOf('A'), 153, 36}, {imageOf('B'), 160, 36}}));
}

TEST_F(SceneText, GlyphMetricsAreHalvedForTheLogicalScreen) {
  Glyph& tall = give('T', 5, 20);
  tall.yOffset = 5;  // halves to 2
  tall.spacing = 7;  // halves to 3
  give('i', 2, 9);
  TextObject text(objectIds, "Ti", &font, &display);
  text.x = 100;
  text.y = 40;
  EXPECT_EQ(text.height, 20u);
  text.draw();
  // Each glyph's top rises half its own height from y + height.
  EXPECT_EQ(display.placed, (std::vector<Placed>{{imageOf('T'), 97, 40 + 20 - 10 - 2},
                                                 {imageOf('i'), 97 + 5 + 3, 40 + 20 - 4}}));
}

TEST_F(SceneText, LongerTextMovesTheLeftEdgeBackByHalfTheAddedWidth) {
  give('a', 6, 10);
  TextObject text(objectIds, "aa", &font, &display);
  text.x = 160;
  text.draw();
  const int32_t before = display.placed.front().x;
  display.placed.clear();
  text.setText("aaaaaa");
  text.draw();
  EXPECT_EQ(display.placed.size(), 6u);
  EXPECT_EQ(display.placed.front().x, before - 12);
  EXPECT_EQ(display.placed.back().x, 160 + 18 - 6);

  display.placed.clear();
  text.setText("");
  EXPECT_EQ(text.width, 0u);
  EXPECT_EQ(text.height, 0u);
  text.draw();
  EXPECT_TRUE(display.placed.empty());
}

TEST_F(SceneText, CharactersWithoutAGlyphTakeNoRoomAndDrawNothing) {
  give('T', 7, 12);
  give('h', 6, 12);
  TextObject text(objectIds, "Thee", &font, &display);  // no 'e'
  text.x = 160;
  EXPECT_EQ(text.width, 13u);
  text.draw();
  EXPECT_EQ(display.placed, (std::vector<Placed>{{imageOf('T'), 154, 6}, {imageOf('h'), 161, 6}}));

  // Control codes, the codes past 'z', a skipped code and bytes of 128 up.
  display.placed.clear();
  text.setText(std::string("\x01T\x1f{\x7f*h\x80\xff", 9));
  EXPECT_EQ(text.width, 13u);
  EXPECT_EQ(text.height, 12u);
  text.draw();
  EXPECT_EQ(display.placed, (std::vector<Placed>{{imageOf('T'), 154, 6}, {imageOf('h'), 161, 6}}));

  Glyph extra;
  EXPECT_EQ(font.setGlyph(static_cast<signed char>(0xc8), &extra), -1);
  EXPECT_EQ(font.glyphFor(0xc8).image, nullptr);
  EXPECT_EQ(font.setGlyph(0, &extra), 0);
}

TEST_F(SceneText, MissingFontOrDisplayIsHarmless) {
  TextObject noFont(objectIds, "Hello", nullptr, &display);
  EXPECT_EQ(noFont.width, 0u);
  noFont.draw();
  give('H', 4, 4);
  TextObject noDisplay(objectIds, "HH", &font, nullptr);
  EXPECT_EQ(noDisplay.width, 8u);
  noDisplay.draw();
  EXPECT_TRUE(display.placed.empty());
}

TEST(SceneFont, GlyphFilesAreLoadedWhiteAndGapsStayEmpty) {
  test::TempDir dir;
  std::filesystem::create_directories(dir.path() / "resources" / "font");
  const std::string fontDir = dir.file("resources/font/");
  // 'A': opaque black becomes white; grey and half-transparent black stay.
  const test::Bytes a = {0, 0, 0, 255, 0, 0, 0, 128, 0, 0, 0, 0,
                         9, 9, 9, 255, 0, 0, 0, 255, 0, 0, 0, 0};
  test::writeFile(dir.file("a.rgba"), a);
  ASSERT_TRUE(test::magickEncode(dir.file("a.rgba"), 3, 2, "PNG32:", fontDir + "zorp_065.png"));
  // A file for a code that has no glyph is never read.
  std::filesystem::copy_file(fontDir + "zorp_065.png", fontDir + "zorp_042.png");
  test::writeFile(fontDir + "zorp_066.png", {0x89, 'P', 'N', 'G'});

  Store store;
  RunningIds ids;
  ::testing::internal::CaptureStderr();
  Font* font = loadFont(store, ids, dir.path().string() + "/");
  const std::string err = ::testing::internal::GetCapturedStderr();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->color, kWhite);

  // 83 glyph files expected, one present: 82 failures, one line each.
  std::istringstream lines(err);
  std::string line;
  int failures = 0;
  while (std::getline(lines, line)) {
    EXPECT_EQ(line, "Error: bad PNG file");
    ++failures;
  }
  EXPECT_EQ(failures, 82);

  const Glyph& glyphA = font->glyphFor('A');
  ASSERT_NE(glyphA.image, nullptr);
  EXPECT_EQ(glyphA.advanceWidth, 3u);
  EXPECT_EQ(glyphA.height, 2u);
  const test::Bytes bottomFirst = {9,   9,   9,   255, 255, 255, 255, 255, 0, 0, 0, 0,
                                   255, 255, 255, 255, 0,   0,   0,   128, 0, 0, 0, 0};
  EXPECT_EQ(test::Bytes(glyphA.image->pixels.get(), glyphA.image->pixels.get() + 24), bottomFirst);
  for (unsigned char empty : {'B', '*', ' ', '\x05', '{'}) {
    EXPECT_EQ(font->glyphFor(empty).image, nullptr) << int{empty};
    EXPECT_EQ(font->glyphFor(empty).advanceWidth, 0u) << int{empty};
  }
}

}  // namespace
}  // namespace zt
