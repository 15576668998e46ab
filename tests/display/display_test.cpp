#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <vector>

#include "core/image.h"
#include "display/gl_renderer.h"
#include "platform/headless/offscreen_gl.h"
#include "scene/game_object.h"

namespace zt {
namespace {

using Bytes = std::vector<uint8_t>;

IdCounter imageIds;
IdCounter objectIds;

// A picture whose every pixel is distinct: R = column, G = row (from the
// top), B = a tag, opaque.
std::unique_ptr<Image> patterned(uint32_t width, uint32_t height, uint8_t tag = 7) {
  Bytes topFirst;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      topFirst.insert(topFirst.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(y), tag, 255});
    }
  }
  return std::make_unique<Image>(imageIds, width, height, topFirst.data());
}

std::unique_ptr<Image> filled(uint32_t width, uint32_t height, Color c) {
  Bytes topFirst;
  for (uint32_t i = 0; i < width * height; ++i)
    topFirst.insert(topFirst.end(), {c.r, c.g, c.b, c.a});
  return std::make_unique<Image>(imageIds, width, height, topFirst.data());
}

// The game's display on an offscreen context of the window's size.
class DisplayPixels : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl.valid());
    ASSERT_EQ(renderer.initialize(), 0);
  }

  // Reads the frame; pixel (wx, wy) counts window pixels from the top-left.
  void grab() { frame = readFramePixels(kWindowWidth, kWindowHeight); }
  Color at(int wx, int wy) const {
    const uint8_t* p = frame.data() + (static_cast<size_t>(wy) * kWindowWidth + wx) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
  // The logical pixel (lx, ly) if its 2 x 2 block is of one colour.
  Color logical(int lx, int ly) const {
    Color c = at(2 * lx, 2 * ly);
    EXPECT_EQ(at(2 * lx + 1, 2 * ly), c) << lx << "," << ly;
    EXPECT_EQ(at(2 * lx, 2 * ly + 1), c) << lx << "," << ly;
    EXPECT_EQ(at(2 * lx + 1, 2 * ly + 1), c) << lx << "," << ly;
    return c;
  }
  void clearTo(Color c) {
    setClearColor(&renderer, &c);
    renderer.clear();
  }

  OffscreenGl gl;
  GlRenderer renderer;
  std::vector<uint8_t> frame;
};

TEST_F(DisplayPixels, ClearColourIsDimGreyUntilFirstSet) {
  EXPECT_EQ(renderer.clearColor, kBackgroundGrey);
  grab();
  EXPECT_EQ(at(0, 0), (Color{38, 38, 38, 0}));
  EXPECT_EQ(at(639, 479), (Color{38, 38, 38, 0}));

  clearTo(kCreditsGrey);
  setClearColor(&renderer, nullptr);
  setClearColor(nullptr, &kWhite);
  renderer.clear();
  EXPECT_EQ(renderer.clearColor, kCreditsGrey);
  grab();
  EXPECT_EQ(at(320, 240), kCreditsGrey);
}

TEST_F(DisplayPixels, PictureAtOriginHangsFromTheTopInTwoByTwoBlocks) {
  clearTo(kBlack);
  auto picture = patterned(5, 3);
  renderer.drawImage(picture.get(), 0, 0);
  grab();
  for (int ly = 0; ly < 3; ++ly) {
    for (int lx = 0; lx < 5; ++lx) {
      EXPECT_EQ(logical(lx, ly),
                (Color{static_cast<uint8_t>(lx), static_cast<uint8_t>(ly), 7, 255}));
    }
  }
  EXPECT_EQ(at(10, 0), kBlack);
  EXPECT_EQ(at(0, 6), kBlack);
  // Where its rows sit in memory: the first stored row is the bottom one.
  EXPECT_EQ(picture->pixels[1], 2);
}

TEST_F(DisplayPixels, FullScreenPictureFillsTheWindowExactly) {
  clearTo(kBlack);
  auto picture = patterned(320, 240);
  renderer.drawImage(picture.get(), 0, 0);
  grab();
  int wrong = 0;
  for (int wy = 0; wy < static_cast<int>(kWindowHeight); ++wy) {
    for (int wx = 0; wx < static_cast<int>(kWindowWidth); ++wx) {
      Color want{static_cast<uint8_t>(wx / 2), static_cast<uint8_t>(wy / 2), 7, 255};
      if (at(wx, wy) != want) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(DisplayPixels, HalfAlphaMixesAndZeroAlphaLeavesTheBuffer) {
  clearTo(kBlack);
  auto half = filled(2, 1, Color{200, 100, 40, 128});
  auto clear = filled(2, 1, Color{255, 255, 255, 0});
  renderer.drawImage(half.get(), 10, 10);
  renderer.drawImage(clear.get(), 10, 10);
  grab();
  Color c = logical(11, 10);
  EXPECT_NEAR(c.r, 100, 1);
  EXPECT_NEAR(c.g, 50, 1);
  EXPECT_NEAR(c.b, 20, 1);
}

TEST_F(DisplayPixels, PicturesPartlyOffTheLeftEdgeAreClipped) {
  clearTo(kBlack);
  auto picture = patterned(40, 2);
  renderer.drawImage(picture.get(), -20, 0);
  grab();
  EXPECT_EQ(logical(0, 0), (Color{20, 0, 7, 255}));
  EXPECT_EQ(logical(19, 1), (Color{39, 1, 7, 255}));
  EXPECT_EQ(logical(20, 0), kBlack);
}

TEST_F(DisplayPixels, CornersBeyondTheEnlargedViewportAreNotDrawn) {
  clearTo(kBlack);
  auto wide = patterned(1000, 1);
  // Corner 1260 window pixels left of the window: drawn, and reaches in.
  renderer.drawImage(wide.get(), -630, 100);
  grab();
  EXPECT_EQ(logical(0, 100), (Color{static_cast<uint8_t>(630 % 256), 0, 7, 255}));
  // Corner 1300 pixels left: dropped, although the picture would reach in.
  clearTo(kBlack);
  renderer.drawImage(wide.get(), -650, 100);
  // Far below or right of the window, and far enough to overflow 32 bits.
  auto dot = filled(1, 1, kWhite);
  renderer.drawImage(dot.get(), 0, 720 + 1);
  renderer.drawImage(dot.get(), 0x7fffffff, 0);
  renderer.drawImage(dot.get(), -0x7fffffff, -0x7fffffff);
  renderer.drawImage(nullptr, 0, 0);
  grab();
  int lit = 0;
  for (size_t i = 0; i < frame.size(); i += 4) lit += frame[i] != 0 || frame[i + 2] != 0;
  EXPECT_EQ(lit, 0);
}

TEST_F(DisplayPixels, NarrowedPictureReadsItsBytesAsShorterRows) {
  clearTo(kBlack);
  auto bar = filled(300, 3, kTeal);
  narrowImage(bar.get(), 1);
  renderer.drawImage(bar.get(), 10, 153);
  grab();
  EXPECT_EQ(logical(10, 153), kTeal);
  EXPECT_EQ(logical(10, 155), kTeal);
  EXPECT_EQ(logical(11, 153), kBlack);
}

TEST_F(DisplayPixels, SpritesSharingAPictureBothShowARecolour) {
  clearTo(kBlack);
  auto panel = filled(4, 4, kBlack);
  swapColors(panel.get(), &kBlack, &kWhite, 1);
  SpriteObject upper(objectIds, &renderer, panel.get());
  SpriteObject lower(objectIds, &renderer, panel.get());
  upper.x = upper.y = 10;
  lower.x = 10;
  lower.y = 170;
  swapColors(panel.get(), &kWhite, &kTeal, 1);
  upper.draw();
  lower.draw();
  grab();
  EXPECT_EQ(logical(13, 13), kTeal);
  EXPECT_EQ(logical(10, 170), kTeal);
}

TEST(DisplayWorld, WorldPointsMapToLogicalPixels) {
  GlRenderer renderer;
  auto check = [&](float x, float y, int32_t sx, int32_t sy) {
    ScreenPoint p = worldToScreen(renderer, x, y);
    EXPECT_EQ(p.x, sx) << x << "," << y;
    EXPECT_EQ(p.y, sy) << x << "," << y;
  };
  check(-2.5f, 0.0f, -40, 120);
  check(2.0f, 1.5f, 320, 0);
  check(0.0f, 0.0f, 160, 120);
  check(-1.8375f, 0.0f, 13, 120);
  check(-2.0063f, -0.3f, 0, 144);  // truncated toward zero, not floored

  GlRenderer offset(Vector2D{1.0f, -1.0f}, 2.0f, -5.0f);
  EXPECT_EQ(offset.viewHeight, 0.0f);
  EXPECT_EQ(worldToScreen(offset, 2.0f, 0.0f).x, 320);
  // A view of no height sends y to infinity; it is clamped, not converted.
  EXPECT_EQ(worldToScreen(offset, 2.0f, 0.0f).y, std::numeric_limits<int32_t>::min());
}

TEST_F(DisplayPixels, WorldSpriteIsCentredOnItsPosition) {
  clearTo(kBlack);
  auto figure = patterned(64, 48);
  SpriteRenderObject2D marker(objectIds, &renderer, figure.get());
  marker.setPosition(Vector2D{-2.5f, 0.0f});
  marker.draw();
  EXPECT_EQ(marker.x, -72);
  EXPECT_EQ(marker.y, 96);
  grab();
  EXPECT_EQ(logical(0, 96), kBlack);  // wholly left of the screen

  // An odd size puts the extra pixel right of and below the centre.
  auto wide = patterned(161, 49);
  marker.setImage(wide.get());
  marker.draw();
  EXPECT_EQ(marker.x, -40 - 80);
  EXPECT_EQ(marker.y, 120 - 24);
  grab();
  EXPECT_EQ(logical(0, 96), (Color{120, 0, 7, 255}));
  EXPECT_EQ(logical(40, 144), (Color{160, 48, 7, 255}));
  EXPECT_EQ(logical(41, 144), kBlack);
  EXPECT_EQ(logical(0, 95), kBlack);

  // Through its sprite view the same drawing happens.
  clearTo(kBlack);
  SpriteObject& view = marker;
  marker.setPosition(Vector2D{0.0f, 0.0f});
  view.draw();
  EXPECT_EQ(marker.x, 80);
  grab();
  EXPECT_EQ(logical(80, 96), (Color{0, 0, 7, 255}));
}

TEST(DisplayPlacement, TheLargestWholeZoomThatFitsCentred) {
  struct Case {
    int32_t clientWidth, clientHeight;
    ScreenPlacement want;
  };
  for (const Case& c : {
           Case{640, 480, {2, 0, 0, 640, 480}}, Case{1280, 960, {4, 0, 0, 1280, 960}},
           Case{1920, 1080, {4, 320, 60, 1280, 960}},  // height decides
           Case{1000, 1200, {3, 20, 240, 960, 720}},   // width decides
           Case{641, 479, {1, 160, 119, 320, 240}},    // a pixel short of 2
           Case{400, 300, {1, 40, 30, 320, 240}},
           Case{300, 200, {1, -10, -20, 320, 240}},  // smaller: the middle shows
       }) {
    const ScreenPlacement got = placeScreen(c.clientWidth, c.clientHeight);
    SCOPED_TRACE(::testing::Message() << c.clientWidth << " x " << c.clientHeight);
    EXPECT_EQ(got.zoom, c.want.zoom);
    EXPECT_EQ(got.x, c.want.x);
    EXPECT_EQ(got.y, c.want.y);
    EXPECT_EQ(got.width, c.want.width);
    EXPECT_EQ(got.height, c.want.height);
  }
}

// A larger client area: the picture at its zoom in the middle, the margins
// in the clear colour, nothing drawn into them.
TEST(DisplayScaled, PicturesAreEnlargedCentredAndKeptOutOfTheMargins) {
  OffscreenGl gl(1920, 1080);
  ASSERT_TRUE(gl.valid());
  GlRenderer renderer;
  renderer.fitToClient(1920, 1080);
  renderer.initialize();
  setClearColor(&renderer, &kBlack);
  renderer.clear();
  auto picture = patterned(40, 2);
  renderer.drawImage(picture.get(), -20, 0);    // half of it left of the screen
  renderer.drawImage(picture.get(), 300, 238);  // reaching past its lower right
  const std::vector<uint8_t> frame = readFramePixels(1920, 1080);
  auto at = [&](int wx, int wy) {
    const uint8_t* p = frame.data() + (static_cast<size_t>(wy) * 1920 + wx) * 4;
    return Color{p[0], p[1], p[2], p[3]};
  };
  // Logical (lx, ly) covers 4 x 4 window pixels from (320 + 4 lx, 60 + 4 ly).
  EXPECT_EQ(at(320, 60), (Color{20, 0, 7, 255}));
  EXPECT_EQ(at(320 + 4 * 19 + 3, 60 + 4 * 1 + 3), (Color{39, 1, 7, 255}));
  EXPECT_EQ(at(320 + 4 * 20, 60), kBlack);
  EXPECT_EQ(at(320 + 4 * 319 + 3, 60 + 4 * 239 + 3), (Color{19, 1, 7, 255}));
  // The margins: nothing of either picture, and a clear reaches them.
  EXPECT_EQ(at(319, 60), kBlack);
  EXPECT_EQ(at(1600, 1019), kBlack);
  EXPECT_EQ(at(1700, 1040), kBlack);
  setClearColor(&renderer, &kTeal);
  renderer.clear();
  EXPECT_EQ(readFramePixels(1920, 1080)[0], kTeal.r);

  // Back to 640 x 480: the picture fills the corner again, at 2.
  renderer.fitToClient(640, 480);
  EXPECT_EQ(renderer.placement().zoom, 2);
  renderer.clear();
  renderer.drawImage(picture.get(), 0, 0);
  const std::vector<uint8_t> small = readFramePixels(1920, 1080);
  const size_t topLeft = (static_cast<size_t>(1080 - 480) * 1920) * 4;
  EXPECT_EQ(small[topLeft + 2], 7);  // the picture's blue tag
}

// So large a zoom that OpenGL refuses a viewport two pictures wide on each
// side: a picture whose corner lies that far out is still drawn.
TEST(DisplayScaled, FarCornersAreReachedPastTheLargestViewport) {
  GLint largest[2] = {0, 0};
  OffscreenGl probe(1, 1);
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
  const int32_t zoom = largest[0] / (5 * 320) + 1;
  const int32_t width = 320 * zoom, height = 240 * zoom;
  OffscreenGl gl(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
  ASSERT_TRUE(gl.valid());
  GlRenderer renderer;
  renderer.fitToClient(width, height);
  renderer.initialize();
  setClearColor(&renderer, &kBlack);
  renderer.clear();
  auto wide = patterned(500, 1);
  renderer.drawImage(wide.get(), -480, 0);  // corner a picture and a half left
  const std::vector<uint8_t> frame = readFramePixels(width, height);
  EXPECT_EQ(frame[0], 480 % 256);  // its column 480 at the left edge
  EXPECT_EQ(frame[2], 7);
}

}  // namespace
}  // namespace zt
