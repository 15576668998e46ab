#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "png_files.h"
#include "scene/game_object.h"
#include "scene/image_file.h"

namespace zt {
namespace {

IdCounter imageIds;

using test::Bytes;
using test::TempDir;

constexpr const char* kBadPng = "Error: bad PNG file\n";

Bytes pixelsOf(const Image& image) {
  return Bytes(image.pixels.get(), image.pixels.get() + size_t{image.width} * image.height * 4);
}

// A small picture with opaque, half-transparent and fully transparent
// pixels in few enough colours to fit a palette.
Bytes paletteFriendlyPixels(uint32_t width, uint32_t height) {
  const uint8_t colours[][4] = {{255, 0, 0, 255},     {0, 200, 0, 255},  {10, 20, 250, 255},
                                {255, 255, 255, 255}, {90, 60, 30, 128}, {0, 0, 0, 0}};
  Bytes out;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      const uint8_t* c = colours[(x * 7 + y * 3 + x * y) % 6];
      out.insert(out.end(), c, c + 4);
    }
  }
  return out;
}

// Header fields straight from a file's IHDR chunk.
struct StoredFormat {
  int bitDepth, colorType, interlace;
  bool hasTrns;
};

StoredFormat storedFormat(const std::string& file) {
  Bytes b = test::readBytes(file);
  if (b.size() < 29) return {-1, -1, -1, false};
  const std::string text(b.begin(), b.end());
  return {b[24], b[25], b[28], text.find("tRNS") != std::string::npos};
}

std::string captureLoadFailure(const std::string& file, PngInfo& info) {
  ::testing::internal::CaptureStderr();
  std::unique_ptr<uint8_t[]> bytes = loadPng(info, file);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(bytes, nullptr) << file;
  return err;
}

class ScenePng : public ::testing::Test {
 protected:
  // A valid 8-bit RGBA file made by ImageMagick from known pixels.
  std::string makeRgba(const std::string& name, uint32_t w, uint32_t h, const Bytes& pixels) {
    const std::string raw = dir.file(name + ".rgba");
    test::writeFile(raw, pixels);
    const std::string png = dir.file(name + ".png");
    EXPECT_TRUE(test::magickEncode(raw, w, h, "PNG32:", png));
    return png;
  }

  TempDir dir;
};

TEST_F(ScenePng, TwoByTwoPictureIsStoredBottomRowFirst) {
  const Bytes topFirst = {255, 0, 0,   255, 0,   255, 0,   255,   // red, green
                          0,   0, 255, 255, 255, 255, 255, 255};  // blue, white
  const std::string file = makeRgba("square", 2, 2, topFirst);

  PngInfo info;
  std::unique_ptr<uint8_t[]> bytes = loadPng(info, file);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(info.width, 2u);
  EXPECT_EQ(info.height, 2u);
  EXPECT_EQ(info.bitDepth, 8);
  EXPECT_EQ(info.channels, 4);
  EXPECT_EQ(info.colorType, 6);
  EXPECT_EQ(Bytes(bytes.get(), bytes.get() + 16), topFirst);

  Image image(imageIds, info.width, info.height, bytes.get());
  const Bytes bottomFirst = {0, 0, 255, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255};
  EXPECT_EQ(pixelsOf(image), bottomFirst);
  EXPECT_EQ(image.format, 6);
  EXPECT_EQ(image.bitsPerPixel, 32);
  EXPECT_EQ(image.loadedWidth, 2u);
}

TEST_F(ScenePng, BrokenFilesReportOnceAndLeaveInfoAlone) {
  const Bytes pixels = paletteFriendlyPixels(40, 30);
  const Bytes good = test::readBytes(makeRgba("good", 40, 30, pixels));
  ASSERT_GT(good.size(), 100u);

  std::vector<std::pair<std::string, Bytes>> cases;
  cases.push_back({"five-bytes", Bytes(good.begin(), good.begin() + 5)});
  Bytes wrongSignature = good;
  wrongSignature[1] = 'Q';
  cases.push_back({"wrong-signature", wrongSignature});
  cases.push_back({"header-only", Bytes(good.begin(), good.begin() + 33)});
  cases.push_back({"truncated", Bytes(good.begin(), good.begin() + good.size() / 2)});
  Bytes badCrc = good;
  badCrc[29] ^= 0x55;  // IHDR's CRC
  cases.push_back({"bad-crc", badCrc});
  // Chunks whose CRCs are right but whose content is nonsense.
  Bytes zeroWidth = test::pngSignature();
  test::putChunk(zeroWidth, "IHDR", test::ihdr(0, 4, 8, 6));
  test::putChunk(zeroWidth, "IEND", {});
  cases.push_back({"zero-width", zeroWidth});
  Bytes garbageData = test::pngSignature();
  test::putChunk(garbageData, "IHDR", test::ihdr(4, 4, 8, 6));
  test::putChunk(garbageData, "IDAT", Bytes(64, 0xa7));
  test::putChunk(garbageData, "IEND", {});
  cases.push_back({"garbage-idat", garbageData});
  Bytes noData = test::pngSignature();
  test::putChunk(noData, "IHDR", test::ihdr(4, 4, 8, 6));
  test::putChunk(noData, "IEND", {});
  cases.push_back({"no-idat", noData});

  PngInfo info;
  ASSERT_NE(loadPng(info, dir.file("good.png")), nullptr);
  for (const auto& [name, bytes] : cases) {
    const std::string file = dir.file(name + ".png");
    test::writeFile(file, bytes);
    EXPECT_EQ(captureLoadFailure(file, info), kBadPng) << name;
    EXPECT_EQ(info.width, 40u) << name;
    EXPECT_EQ(info.height, 30u) << name;
  }
  EXPECT_EQ(captureLoadFailure(dir.file("missing.png"), info), kBadPng);
  EXPECT_EQ(captureLoadFailure(dir.path().string(), info), kBadPng) << "a directory";

  ::testing::internal::CaptureStderr();
  EXPECT_EQ(loadImage(imageIds, dir.file("truncated.png")), nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), kBadPng);
}

TEST_F(ScenePng, AbsurdDeclaredSizesAreRefusedBeforeDecoding) {
  struct Case {
    uint32_t width, height;
  };
  for (Case c :
       {Case{100000, 100000}, Case{16000, 16000}, Case{0x7fffffff, 1}, Case{1, 20000000}}) {
    Bytes huge = test::pngSignature();
    test::putChunk(huge, "IHDR", test::ihdr(c.width, c.height, 8, 6));
    test::putChunk(huge, "IDAT", Bytes{0x78, 0x9c, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
    test::putChunk(huge, "IEND", {});
    const std::string file = dir.file("huge.png");
    test::writeFile(file, huge);
    PngInfo info;
    EXPECT_EQ(captureLoadFailure(file, info), kBadPng) << c.width << "x" << c.height;
    EXPECT_EQ(info.width, 0u);
  }
}

// Every stored format a valid PNG may have loads as the RGBA it shows.
TEST_F(ScenePng, OtherFormatsLoadAsTheRgbaTheyShow) {
  struct Format {
    const char* name;
    const char* input;  // "palette" for the raw pixels, else an ImageMagick source
    const char* options;
    int bitDepth, colorType, interlace;
    bool trns;
  };
  const char* kPlasmaWithBlack = "-seed 7 plasma: -fill black -draw 'rectangle 0,0 5,5'";
  const Format formats[] = {
      {"palette", "palette", "PNG8:", 8, 3, 0, true},
      {"palette-4bit", "palette", "-colors 6 -define png:bit-depth=4 PNG8:", 4, 3, 0, true},
      {"grey", "rose:", "-alpha off -colorspace Gray -define png:color-type=0 PNG:", 8, 0, 0,
       false},
      {"grey-2bit", "rose:",
       "-alpha off -colorspace Gray -depth 2 -define png:bit-depth=2 -define png:color-type=0 PNG:",
       2, 0, 0, false},
      {"grey-alpha", "palette", "-colorspace Gray -define png:color-type=4 PNG:", 8, 4, 0, false},
      {"grey-16-trns", "gradient:black-white",
       "-transparent black -define png:color-type=0 PNG:", 16, 0, 0, true},
      {"rgb", "rose:", "-alpha off PNG24:", 8, 2, 0, false},
      {"rgb-trns", kPlasmaWithBlack,
       "-transparent black -define png:color-type=2 -define png:bit-depth=8 PNG:", 8, 2, 0, true},
      {"rgb-16-trns", kPlasmaWithBlack,
       "-transparent black -depth 16 -define png:color-type=2 PNG:", 16, 2, 0, true},
      {"rgba-16", "-seed 7 plasma:", "-depth 16 PNG64:", 16, 6, 0, false},
      {"rgba-interlaced", "palette", "-interlace PNG PNG32:", 8, 6, 1, false},
      {"palette-interlaced", "palette", "-interlace PNG PNG8:", 8, 3, 1, true},
  };

  const uint32_t w = 37, h = 23;
  const std::string paletteRaw = dir.file("palette.rgba");
  test::writeFile(paletteRaw, paletteFriendlyPixels(w, h));

  for (const Format& f : formats) {
    const std::string file = dir.file(std::string(f.name) + ".png");
    if (std::string(f.input) == "palette") {
      ASSERT_TRUE(test::magickEncode(paletteRaw, w, h, f.options, file)) << f.name;
    } else {
      ASSERT_EQ(test::runShell("convert -size 37x23 " + std::string(f.input) + " " + f.options +
                               "'" + file + "'")
                    .status,
                0)
          << f.name;
    }
    // Make sure the file really is in the format this case is about.
    StoredFormat stored = storedFormat(file);
    EXPECT_EQ(stored.bitDepth, f.bitDepth) << f.name;
    EXPECT_EQ(stored.colorType, f.colorType) << f.name;
    EXPECT_EQ(stored.interlace, f.interlace) << f.name;
    EXPECT_EQ(stored.hasTrns, f.trns) << f.name;

    PngInfo info;
    std::unique_ptr<uint8_t[]> bytes = loadPng(info, file);
    ASSERT_NE(bytes, nullptr) << f.name;
    EXPECT_EQ(info.bitDepth, 8);
    EXPECT_EQ(info.channels, 4);
    EXPECT_EQ(info.colorType, 6);
    // ImageMagick's own 16-to-8 reduction passes colour through a float
    // round trip that can lose one step; take its 16-bit samples and round.
    const Bytes expected =
        f.bitDepth == 16 ? test::roundedTo8(test::magickRgba16(file)) : test::magickRgba(file);
    ASSERT_EQ(expected.size(), size_t{info.width} * info.height * 4) << f.name;
    EXPECT_EQ(Bytes(bytes.get(), bytes.get() + expected.size()), expected) << f.name;
  }
}

// Swaps and narrowing work on a 3 x 2 picture given top row first.
class SceneRecolour : public ::testing::Test {
 protected:
  static constexpr Color kRed{255, 0, 0, 255};
  static constexpr Color kNearBlack{0, 0, 0, 254};

  Image image{imageIds, 3, 2, nullptr};

  void fill(std::initializer_list<Color> bottomFirst) {
    std::memcpy(image.pixels.get(), bottomFirst.begin(), bottomFirst.size() * 4);
  }
  Color at(size_t index) const {
    const uint8_t* p = image.pixels.get() + index * 4;
    return {p[0], p[1], p[2], p[3]};
  }
};

TEST_F(SceneRecolour, OneCallExchangesAndLaterCallsChain) {
  fill({kBlack, kWhite, kRed, kNearBlack, kWhite, kBlack});
  const Color from[] = {kBlack, kWhite};
  const Color to[] = {kWhite, kBlack};
  swapColors(&image, from, to, 2);
  const Color exchanged[] = {kWhite, kBlack, kRed, kNearBlack, kBlack, kWhite};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(at(i), exchanged[i]) << i;

  // White -> teal also catches the pixels that were black before.
  swapColors(&image, &kBlack, &kWhite, 1);
  swapColors(&image, &kWhite, &kTeal, 1);
  const Color chained[] = {kTeal, kTeal, kRed, kNearBlack, kTeal, kTeal};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(at(i), chained[i]) << i;

  // The first matching entry wins.
  const Color twoFrom[] = {kTeal, kTeal};
  const Color twoTo[] = {kRed, kWhite};
  swapColors(&image, twoFrom, twoTo, 2);
  EXPECT_EQ(at(0), kRed);

  swapColors(&image, twoTo, twoFrom, 0);
  swapColors(nullptr, twoTo, twoFrom, 2);
  swapColors(&image, nullptr, twoFrom, 2);
  EXPECT_EQ(at(0), kRed);
  EXPECT_EQ(at(3), kNearBlack);
}

TEST_F(SceneRecolour, SharedImageChangesInEverySprite) {
  fill({kBlack, kBlack, kBlack, kBlack, kBlack, kBlack});
  IdCounter objectIds;
  SpriteObject upper(objectIds, nullptr, &image);
  SpriteObject lower(objectIds, nullptr, &image);
  swapColors(upper.getImage(), &kBlack, &kTeal, 1);
  ASSERT_EQ(lower.getImage(), &image);
  const uint8_t* p = lower.getImage()->pixels.get();
  EXPECT_EQ((Color{p[20], p[21], p[22], p[23]}), kTeal);
}

TEST_F(SceneRecolour, NarrowingStaysWithinTheLoadedWidth) {
  narrowImage(&image, 300);
  EXPECT_EQ(image.width, 3u);
  narrowImage(&image, 2);
  EXPECT_EQ(image.width, 2u);
  narrowImage(&image, -150);
  EXPECT_EQ(image.width, 1u);
  narrowImage(&image, int64_t{1} << 40);
  EXPECT_EQ(image.width, 3u);
  narrowImage(nullptr, 5);
}

}  // namespace
}  // namespace zt
