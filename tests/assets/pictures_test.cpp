#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "asset_files.h"

namespace zt::test {
namespace {

// Where the game puts things on its 320 x 240 screen.
constexpr int kPanelX = 10, kUpperPanelY = 10, kLowerPanelY = 170;
constexpr int kFrameY = 150, kFillY = 153;
constexpr int kMarkerCentreY = 120;
constexpr int kLevelTextY = 219;

Picture load(const std::string& name) {
  auto p = readPicture(resource(name));
  if (!p) ADD_FAILURE() << name << " is missing or not a PNG";
  return p.value_or(Picture{});
}

bool transparent(Pixel p) {
  return p.a == 0;
}

// First and last rows holding any visible pixel, or {-1, -1}.
std::pair<int, int> inkedRows(const Picture& p) {
  int first = -1, last = -1;
  for (uint32_t y = 0; y < p.height; ++y)
    for (uint32_t x = 0; x < p.width; ++x)
      if (!transparent(p.at(x, y))) {
        if (first < 0) first = static_cast<int>(y);
        last = static_cast<int>(y);
      }
  return {first, last};
}

TEST(AssetPictures, AllTenAreEightBitRgba) {
  for (const char* name : resource_files::kPictures) {
    const Picture p = load(name);
    EXPECT_EQ(p.colorType, 6) << name;
    EXPECT_EQ(p.bitDepth, 8) << name;
    EXPECT_EQ(p.pixels.size(), static_cast<size_t>(p.width) * p.height) << name;
    EXPECT_GT(p.width * p.height, 0u) << name;
  }
}

TEST(AssetPictures, MarkerFramesShareOneSizeAndStayBetweenPanelsAndBar) {
  const Picture walk1 = load("derivative1.png"), walk2 = load("derivative2.png");
  const Picture mock1 = load("trollidian1.png"), mock2 = load("trollidian2.png");
  const Picture panel = load("panel.png");
  for (const Picture* p : {&walk2, &mock1, &mock2}) {
    EXPECT_EQ(p->width, walk1.width);
    EXPECT_EQ(p->height, walk1.height);
  }
  EXPECT_GE(walk1.width, 16u);
  EXPECT_LE(walk1.width, 32u);
  EXPECT_GE(walk1.height, 24u);
  EXPECT_LE(walk1.height, 40u);
  // Each frame of an animation must look different, or nothing moves.
  EXPECT_NE(walk1.pixels, walk2.pixels);
  EXPECT_NE(mock1.pixels, mock2.pixels);
  EXPECT_NE(walk1.pixels, mock1.pixels);

  // The marker is centred on logical y 120: everything it shows must lie
  // below the upper panel and above the bar's frame.
  const int top = kMarkerCentreY - static_cast<int>(walk1.height / 2);
  for (const Picture* p : {&walk1, &walk2, &mock1, &mock2}) {
    const auto [first, last] = inkedRows(*p);
    ASSERT_GE(first, 0) << "an empty marker frame";
    EXPECT_GE(top + first, kUpperPanelY + static_cast<int>(panel.height));
    EXPECT_LT(top + last, kFrameY);
  }
}

TEST(AssetPictures, ProgressFillingIsAllTealAndSitsInsideTheFrame) {
  const Picture fill = load("progress.png");
  const Picture frame = load("progressbar.png");
  EXPECT_GE(fill.width, 300u);
  EXPECT_GE(fill.height, 1u);
  // Narrowing reads the same bytes as shorter rows, which only shows a
  // shorter bar when every pixel is alike.
  for (Pixel p : fill.pixels) ASSERT_EQ(p, kTeal);
  EXPECT_LE(kFillY + static_cast<int>(fill.height), kFrameY + static_cast<int>(frame.height));
}

TEST(AssetPictures, BarFrameIsRecolourableAndOpenOverTheFilling) {
  const Picture frame = load("progressbar.png");
  const Picture fill = load("progress.png");
  EXPECT_EQ(frame.width, 300u);
  EXPECT_GE(frame.height, 6u);
  EXPECT_LE(frame.height, 14u);
  size_t black = 0, white = 0;
  for (Pixel p : frame.pixels) {
    ASSERT_TRUE(p == kBlack || p == kWhite || p.a == 0) << "a pixel the level colours cannot reach";
    black += p == kBlack;
    white += p == kWhite;
  }
  EXPECT_GT(black, 0u);
  EXPECT_GT(white, 0u);
  // The filling is drawn first, so the frame must let it through, all but
  // the closing end columns.
  const uint32_t fillTop = kFillY - kFrameY;
  for (uint32_t y = fillTop; y < fillTop + fill.height; ++y)
    for (uint32_t x = 1; x + 1 < frame.width; ++x)
      ASSERT_TRUE(transparent(frame.at(x, y))) << "frame covers the filling at " << x << "," << y;
}

TEST(AssetPictures, PanelsAreRecolourableAndLeaveTheLevelNameReadable) {
  const Picture panel = load("panel.png");
  EXPECT_EQ(panel.width, 300u);
  for (Pixel p : panel.pixels) ASSERT_TRUE(p == kBlack || p == kWhite || p.a == 0);
  // Upper panel ends above the marker's walk, lower panel reaches down over
  // the level text and stays on the screen.
  EXPECT_LE(kUpperPanelY + static_cast<int>(panel.height), 100);
  EXPECT_LE(kLowerPanelY + static_cast<int>(panel.height), 240);

  // The level name's glyphs (12 rows from y + 6) must never stand on a
  // recoloured panel pixel: one level or another turns every panel colour
  // light (the last level turns black into white), and the letters are
  // white. The text is centred on x 160.
  const Picture glyph = readPicture(glyphPath('A')).value_or(Picture{});
  const int h = static_cast<int>(glyph.height);
  ASSERT_GT(h, 0);
  const int textTop = kLevelTextY + h - h / 2;
  EXPECT_LE(textTop + h, kLowerPanelY + static_cast<int>(panel.height));
  int widest = 0;
  for (const std::string& name : levelNames) {
    int width = 0;
    for (char c : name)
      width += static_cast<int>(readPicture(glyphPath(c)).value_or(Picture{}).width);
    widest = std::max(widest, width);
  }
  const int left = 160 - widest / 2;
  for (int y = textTop; y < textTop + h; ++y)
    for (int x = left; x < left + widest; ++x)
      ASSERT_TRUE(transparent(panel.at(x - kPanelX, y - kLowerPanelY)))
          << "panel pixel under the level name at screen " << x << "," << y;
}

TEST(AssetPictures, TitleIsBlackOnClearAndEndsAboveTheText) {
  const Picture title = load("title.png");
  EXPECT_EQ(title.width, 320u);
  EXPECT_LE(10 + static_cast<int>(title.height), 100);
  size_t black = 0;
  for (Pixel p : title.pixels) {
    // The flashes recolour opaque black only; anything else would stay.
    ASSERT_TRUE(p == kBlack || p.a == 0);
    black += p == kBlack;
  }
  EXPECT_GT(black, title.pixels.size() / 20) << "too little of a logo";
}

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double luminance(Pixel p) {
  auto lin = [](uint8_t v) {
    const double c = v / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * lin(p.r) + 0.7152 * lin(p.g) + 0.0722 * lin(p.b);
}

TEST(AssetPictures, TitleBackgroundScrollsSeamlesslyAndKeepsWhiteTextReadable) {
  const Picture bg = load("titlebg.png");
  EXPECT_EQ(bg.width, 320u);
  ASSERT_GE(bg.height, 240u + 449u);
  for (Pixel p : bg.pixels) ASSERT_EQ(p.a, 255) << "the background must cover the screen";
  // Scrolled up by 449 rows it must show what it showed at 0.
  for (uint32_t y = 0; y < 240; ++y)
    for (uint32_t x = 0; x < bg.width; ++x)
      ASSERT_EQ(bg.at(x, y), bg.at(x, y + 449)) << "seam at row " << y;
  // White on it: contrast ratio at least 7:1 for all but a few stray pixels.
  size_t low = 0;
  std::set<uint32_t> colours;
  for (Pixel p : bg.pixels) {
    low += 1.05 / (luminance(p) + 0.05) < 7.0;
    colours.insert((p.r << 16) | (p.g << 8) | p.b);
  }
  EXPECT_LT(low, bg.pixels.size() / 200);
  EXPECT_GT(colours.size(), 16u) << "a flat fill, not a picture";
}

TEST(AssetPictures, GameOverCoversTheWholeScreen) {
  const Picture over = load("gameover.png");
  EXPECT_EQ(over.width, 320u);
  EXPECT_EQ(over.height, 240u);
  // Drawn again every frame over a buffer that is not cleared: any
  // see-through pixel would pile up differently in the two back buffers.
  for (Pixel p : over.pixels) ASSERT_EQ(p.a, 255);
}

}  // namespace
}  // namespace zt::test
