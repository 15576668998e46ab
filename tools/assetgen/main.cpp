// zt-assetgen: writes the game's pictures, font, sound clips, Windows icons
// and desktop icons from the code in this directory. Same program, same bytes.
//
//   zt-assetgen OUTDIR [--icons DIR]
//
// writes OUTDIR/resources/... and the icons to DIR (default OUTDIR/icons):
// the two .ico files, hicolor/NxN/apps/zummertock.png and the web app's
// web/zummertock[-maskable]-{192,512}.png.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "canvas.h"
#include "core/resource_files.h"
#include "font.h"
#include "icon.h"
#include "music.h"
#include "ogg_writer.h"
#include "pictures.h"
#include "png_writer.h"
#include "sprites.h"

namespace fs = std::filesystem;

namespace zt::assetgen {
namespace {

class Output {
 public:
  void picture(const fs::path& path, const Canvas& c) {
    std::string error;
    if (!writePng(path.string(), c, error)) fail(error);
    ++files_;
  }
  void clip(const fs::path& path, const StereoBuffer& sound, int serial, const std::string& title) {
    std::string error;
    // VBR quality 0.4: transparent enough for these synthetic sounds.
    if (!writeOggVorbis(path.string(), sound, serial, 0.4f, title, error)) fail(error);
    ++files_;
  }
  void bytes(const fs::path& path, const std::vector<uint8_t>& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    out.close();
    if (!out) fail("write error on " + path.string());
    ++files_;
  }
  int files() const { return files_; }

 private:
  [[noreturn]] static void fail(const std::string& message) { throw std::runtime_error(message); }
  int files_ = 0;
};

// The tile's night blue, which the web app's maskable icons fill to the edge.
constexpr Rgba kTileFill{34, 28, 70, 255};

// The large window icon: the walker on a small night-blue tile with a bar.
// Without its rounded rim the blue runs to the edges.
Canvas iconTile(bool rim = true) {
  Canvas c(48, 48, kTileFill);
  const Rgba edge{12, 10, 30, 255};
  for (int y = 0; rim && y < 48; ++y)
    for (int x = 0; x < 48; ++x) {
      // Rounded corners of radius 8.
      const int dx = x < 8 ? 8 - x : x > 39 ? x - 39 : 0;
      const int dy = y < 8 ? 8 - y : y > 39 ? y - 39 : 0;
      const int d2 = dx * dx + dy * dy;
      if (d2 > 64)
        c.set(x, y, kClear);
      else if (d2 > 49 || x == 0 || y == 0 || x == 47 || y == 47)
        c.set(x, y, edge);
    }
  c.fillRect(5, 38, 38, 3, Rgba{143, 224, 212, 255});
  c.draw(walkerFrame(0), 12, 8);
  return c;
}

// The walker on its own, fitted to a square of the given size.
Canvas iconFigure(int size) {
  const Canvas walker = walkerFrame(0);
  const int h = size, w = size * kFigureWidth / kFigureHeight;
  const Canvas fitted = h == kFigureHeight ? walker : resample(walker, w, h);
  Canvas c(size, size);
  c.draw(fitted, (size - fitted.width()) / 2, 0);
  return c;
}

std::vector<uint8_t> iconFile(Canvas (*pictureOfSize)(int)) {
  std::vector<IconEntry> entries;
  const std::pair<int, int> layout[] = {{32, 4}, {16, 4},  {48, 8},  {32, 8},
                                        {16, 8}, {48, 32}, {32, 32}, {16, 32}};
  for (auto [size, bpp] : layout) entries.push_back({pictureOfSize(size), bpp});
  return encodeIcon(entries);
}

// The tile at any size. Whole multiples of 48 are plain enlargements; other
// sizes enlarge by the next whole factor and box-filter down from there, so
// the pixel art keeps even pixels instead of alternating 1- and 2-wide ones.
Canvas tileOfSize(int size) {
  const Canvas tile = iconTile();
  if (size % 48 == 0) return scaleNearest(tile, size / 48);
  const int factor = (size + 47) / 48;
  return resample(factor == 1 ? tile : scaleNearest(tile, factor), size, size);
}

// A launcher may cut a maskable icon to any shape that holds the middle
// circle of 80 % of its width. The rimless tile, at the largest whole zoom
// that keeps its farthest drawn corner (the bar's ends, 25.5 of its pixels
// from the middle) inside that circle, on the same blue to the edges.
Canvas maskableOfSize(int size) {
  const int zoom = static_cast<int>(0.4 * size / 25.5);
  const Canvas tile = scaleNearest(iconTile(false), zoom);
  Canvas c(size, size, kTileFill);
  c.draw(tile, (size - tile.width()) / 2, (size - tile.height()) / 2);
  return c;
}

// The desktop icon theme's sizes (hicolor/NxN/apps/zummertock.png).
constexpr int kDesktopIconSizes[] = {16, 24, 32, 48, 64, 96, 128, 192, 256};

void generate(const fs::path& root, const fs::path& iconDir) {
  namespace files = resource_files;
  const fs::path res = root / files::kFolder;
  fs::create_directories(res / "font");
  fs::create_directories(iconDir);
  Output out;

  out.picture(res / files::kDerivative1, walkerFrame(0));
  out.picture(res / files::kDerivative2, walkerFrame(1));
  out.picture(res / files::kTrollidian1, mockerFrame(0));
  out.picture(res / files::kTrollidian2, mockerFrame(1));
  out.picture(res / files::kProgress, progressPicture());
  out.picture(res / files::kProgressBar, barFramePicture());
  out.picture(res / files::kPanel, panelPicture());
  out.picture(res / files::kTitle, titlePicture());
  out.picture(res / files::kTitleBackground, titleBackground());
  out.picture(res / files::kGameOver, gameOverPicture());

  for (int code = files::kFirstGlyph; code <= files::kLastGlyph; ++code) {
    if (!hasGlyph(code)) continue;
    out.picture(res / files::glyphFile(code), glyphPicture(code));
  }

  // Fixed stream serial numbers keep the files identical from run to run.
  out.clip(res / files::kTitleMusic, titleMusic(), 0x5a540101, "Painting With Gasoline");
  out.clip(res / files::kGameMusic, levelMusic(), 0x5a540102, "Intention Ignited");
  out.clip(res / files::kDeath, mistakeSound(), 0x5a540103, "Death");
  out.clip(res / files::kAccept, acceptSound(), 0x5a540104, "Accept");
  out.clip(res / files::kGameOverSound, gameOverSound(), 0x5a540105, "Game Over");

  out.bytes(iconDir / "zummertock107.ico", iconFile(tileOfSize));
  out.bytes(iconDir / "zummertock108.ico", iconFile(iconFigure));
  for (int size : kDesktopIconSizes) {
    const std::string n = std::to_string(size);
    const fs::path apps = iconDir / "hicolor" / (n + "x" + n) / "apps";
    fs::create_directories(apps);
    out.picture(apps / "zummertock.png", tileOfSize(size));
  }
  // The browser version's, for its web app manifest.
  fs::create_directories(iconDir / "web");
  for (int size : {192, 512}) {
    const std::string n = std::to_string(size);
    out.picture(iconDir / "web" / ("zummertock-" + n + ".png"), tileOfSize(size));
    out.picture(iconDir / "web" / ("zummertock-maskable-" + n + ".png"), maskableOfSize(size));
  }

  std::printf("zt-assetgen: wrote %d files under %s and %s\n", out.files(), res.string().c_str(),
              iconDir.string().c_str());
}

}  // namespace
}  // namespace zt::assetgen

int main(int argc, char** argv) {
  fs::path root, icons;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--icons" && i + 1 < argc) {
      icons = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && root.empty()) {
      root = arg;
    } else {
      std::fprintf(stderr, "usage: zt-assetgen OUTDIR [--icons DIR]\n");
      return 2;
    }
  }
  if (root.empty()) {
    std::fprintf(stderr, "usage: zt-assetgen OUTDIR [--icons DIR]\n");
    return 2;
  }
  if (icons.empty()) icons = root / "icons";
  try {
    zt::assetgen::generate(root, icons);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zt-assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
