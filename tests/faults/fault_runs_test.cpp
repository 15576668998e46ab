// Whole games over broken resources: every picture, glyph and clip is a file
// a player can replace. Each run must print the loaders' error lines and
// still play from the title screens to the end.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/resource_files.h"
#include "ogg_files.h"
#include "png_files.h"
#include "replay_run.h"

namespace zt::test {
namespace {

namespace fs = std::filesystem;

const std::string kBadPng = "Error: bad PNG file\n";
const std::string kBadOgg = "Error: bad Ogg Vorbis file\n";
const std::string kNoDevice = "Speaker Interface error: cannot open specified wave device.\n";

// A coarse clock keeps the many whole games short; the autoplayer still
// wins every level at this step.
const std::string kDt = "0.05";

fs::path builtResources() {
  return fs::path(buildDir()) / "resources";
}

size_t countOf(const std::string& text, const std::string& line) {
  size_t count = 0;
  for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++count;
  return count;
}

// A copy of the game's resources for one run to break.
class Resources {
 public:
  Resources() {
    fs::copy(builtResources(), dir_.path() / "resources", fs::copy_options::recursive);
  }
  std::string base() const { return dir_.path().string(); }
  fs::path file(const std::string& name) const { return dir_.path() / "resources" / name; }

 private:
  TempDir dir_;
};

// Plays the whole game over the given resources and checks that it reached
// the end with every level won.
ReplayRun playThrough(const Resources& resources, std::vector<std::string> extra = {}) {
  std::vector<std::string> options = {"--resources", resources.base(), "--autoplay", "--dt", kDt};
  options.insert(options.end(), extra.begin(), extra.end());
  ReplayRun run = runReplay(options);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("mode 6, level 17, incorrect 0, status 0"), std::string::npos)
      << "the game did not reach its end: " << run.out;
  return run;
}

void truncateFile(const fs::path& file, double share) {
  Bytes bytes = readBytes(file.string());
  bytes.resize(static_cast<size_t>(bytes.size() * share));
  writeFile(file.string(), bytes);
}

// A PNG of the given colour type and depth through libpng itself; samples
// are a ramp so the picture is not blank.
bool writePng(const fs::path& file, uint32_t width, uint32_t height, int colorType, int bitDepth) {
  FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
    return false;
  }
  png_init_io(png, out);
  png_set_IHDR(png, info, width, height, bitDepth, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  std::vector<png_byte> row(rowBytes);
  for (uint32_t y = 0; y < height; ++y) {
    for (size_t i = 0; i < rowBytes; ++i) row[i] = static_cast<png_byte>(i + y);
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(out) == 0;
}

struct Fault {
  std::string name;
  std::function<void(const Resources&)> apply;
  std::string expectedErr;
};

// Each fault breaks one or two files. The expected standard error is exact:
// one line per file the loaders refused, nothing else.
void expectEachToRunToTheEnd(const std::vector<Fault>& faults) {
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.name);
    Resources resources;
    fault.apply(resources);
    const ReplayRun run = playThrough(resources);
    EXPECT_EQ(run.err, fault.expectedErr);
  }
}

TEST(FaultRuns, MissingAndEmptyFiles) {
  expectEachToRunToTheEnd({
      {"one picture missing", [](const Resources& r) { fs::remove(r.file("panel.png")); }, kBadPng},
      {"one glyph missing", [](const Resources& r) { fs::remove(r.file("font/zorp_065.png")); },
       kBadPng},
      {"one clip missing", [](const Resources& r) { fs::remove(r.file("death.ogg")); }, kBadOgg},
      {"zero-length picture and clip",
       [](const Resources& r) {
         fs::resize_file(r.file("title.png"), 0);
         fs::resize_file(r.file("accept.ogg"), 0);
       },
       kBadPng + kBadOgg},
  });
}

TEST(FaultRuns, DamagedFiles) {
  expectEachToRunToTheEnd({
      {"truncated picture", [](const Resources& r) { truncateFile(r.file("titlebg.png"), 0.5); },
       kBadPng},
      {"picture with a bad CRC",
       [](const Resources& r) {
         const std::string file = r.file("derivative1.png").string();
         Bytes bytes = readBytes(file);
         // One bit of the first IDAT's data: that chunk's CRC no longer matches.
         const std::string text(bytes.begin(), bytes.end());
         const size_t idat = text.find("IDAT");
         ASSERT_NE(idat, std::string::npos);
         bytes[idat + 6] ^= 0x01;
         writeFile(file, bytes);
       },
       kBadPng},
      {"text file named .ogg",
       [](const Resources& r) {
         writeFile(r.file("gameover.ogg").string(),
                   Bytes{'n', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o', '\n'});
       },
       kBadOgg},
  });

  // Its headers parse but a codebook cannot be built, so the first read
  // fails, and asking libvorbis again divided by zero inside it. That was at
  // start-up: a few levels show the game goes on with the clip silent.
  const fs::path badCodebook =
      fs::path(ZT_SOURCE_DIR) / "fuzz" / "regressions" / "ogg" / "vorbis-bad-codebook.ogg";
  for (const char* clip : resource_files::kClips) {
    SCOPED_TRACE(std::string("bad codebook in ") + clip);
    Resources resources;
    fs::copy_file(badCodebook, resources.file(clip), fs::copy_options::overwrite_existing);
    const ReplayRun run =
        runReplay({"--resources", resources.base(), "--autoplay", "--dt", kDt, "--frames", "200"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Error reading Ogg Vorbis file.\n");
    EXPECT_NE(run.out.find("frames 200, mode 4, level 2, incorrect 0"), std::string::npos)
        << run.out;
  }
}

TEST(FaultRuns, PicturesOfOtherSizesAndLayouts) {
  expectEachToRunToTheEnd({
      {"1 x 1 progress bar where 300 pixels are drawn",
       [](const Resources& r) {
         ASSERT_TRUE(writePng(r.file("progress.png"), 1, 1, PNG_COLOR_TYPE_RGBA, 8));
       },
       ""},
      {"16-bit grey picture",
       [](const Resources& r) {
         ASSERT_TRUE(writePng(r.file("gameover.png"), 320, 240, PNG_COLOR_TYPE_GRAY, 16));
       },
       ""},
      {"huge declared size",
       [](const Resources& r) {
         Bytes bytes = pngSignature();
         putChunk(bytes, "IHDR", ihdr(100000, 100000, 8, 6));
         putChunk(bytes, "IDAT", Bytes{0x78, 0x9c, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
         putChunk(bytes, "IEND", {});
         writeFile(r.file("trollidian1.png").string(), bytes);
       },
       kBadPng},
  });
}

TEST(FaultRuns, SoundFilesOfOtherShapesPlayAsStereoAtTheDeviceRate) {
  if (!haveOggTools()) GTEST_SKIP() << "sox, oggenc and oggdec are needed";
  Resources resources;
  // Mono accept sound; the death sound at half the rate; the game-over sound
  // cut off in the middle of a page.
  ASSERT_TRUE(makeOgg(resources.file("accept.ogg").string(), 44100, {660}, 0.3, 11));
  ASSERT_TRUE(makeOgg(resources.file("death.ogg").string(), 22050, {330, 440}, 0.5, 12));
  truncateFile(resources.file("gameover.ogg"), 0.6);
  // Lose once so the death sound plays.
  const std::vector<std::string> options = {"--resources", resources.base(), "--autoplay", "--dt",
                                            kDt,           "--mistakes",     "3"};
  const ReplayRun run = runReplay(options);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("mode 6, level 17, incorrect 1, status 0"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "Warning: " + resources.base() +
                         "/resources/death.ogg is at 22050 Hz and plays at 44100 Hz\n");
}

TEST(FaultRuns, WithoutResourcesTheGamePrintsEveryRefusalOnceAndRunsToItsEnd) {
  TempDir empty;
  const std::vector<std::string> options = {"--resources", empty.path().string(), "--autoplay",
                                            "--dt", kDt};
  const ReplayRun run = runReplay(options);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("mode 6, level 17, incorrect 0, status 0"), std::string::npos) << run.out;
  size_t glyphs = 0;
  for (const auto& entry : fs::directory_iterator(builtResources() / "font")) {
    glyphs += entry.path().extension() == ".png";
  }
  ASSERT_GT(glyphs, 0u);
  // Ten pictures and every glyph; five clips.
  EXPECT_EQ(countOf(run.err, kBadPng), 10 + glyphs);
  EXPECT_EQ(countOf(run.err, kBadOgg), 5u);
  EXPECT_EQ(run.err.size(), (10 + glyphs) * kBadPng.size() + 5 * kBadOgg.size()) << run.err;
}

TEST(FaultRuns, WithoutASoundDeviceTheGameIsSilentAndTheGameOverPictureStaysThreeSeconds) {
  {
    Resources resources;
    const ReplayRun run = playThrough(resources, {"--no-sound"});
    EXPECT_EQ(run.err, kNoDevice);
    // Sounds are still asked for, but with no mixer nothing ever ends them.
    int playing = 0;
    for (const TraceFrame& frame : run.trace) {
      ASSERT_GE(frame.integer("playing"), playing) << "frame " << frame.integer("frame");
      playing = frame.integer("playing");
    }
    EXPECT_GT(playing, 0);
  }
  // Escape in a level: the game-over picture, then the end after 3 s since
  // no sound can end it sooner.
  const std::string script =
      "0 down d\n1 up d\n10 down d\n11 up d\n"
      "130 down escape\n";
  const ReplayRun run = runReplay({"--no-sound", "--frames", "1000"}, script);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, kNoDevice);
  double enteredAt = -1.0;
  for (const TraceFrame& frame : run.trace) {
    if (frame.integer("mode") == 7 && enteredAt < 0) enteredAt = frame.number("t");
  }
  ASSERT_GE(enteredAt, 0.0) << "the game-over mode never came";
  ASSERT_EQ(run.trace.back().integer("mode"), 7);
  const double shown = run.trace.back().number("t") - enteredAt;
  EXPECT_GE(shown, 3.0 - 2.0 / 60.0);
  EXPECT_LE(shown, 3.0 + 2.0 / 60.0);
}

}  // namespace
}  // namespace zt::test
