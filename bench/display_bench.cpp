// Times what the scene and display cost the game, offscreen:
//   zt_display_bench [--shot FILE.png] [--resources BASE_DIR/]
// 1. Decoding a set of 93 pictures like the game's (10 pictures up to
//    320 x 689, 83 glyphs), made here, or the real set under BASE_DIR/.
// 2. Drawing a play screen (background, marker, narrowed bar, frame, two
//    panels, a 30-character text), per frame, from the real set if given.
//    The last frame is written to FILE.png (default /tmp/zt-play-screen.png).

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/image.h"
#include "core/resource_files.h"
#include "core/store.h"
#include "display/gl_renderer.h"
#include "platform/headless/offscreen_gl.h"
#include "replay/output_files.h"
#include "scene/game_object.h"
#include "scene/image_file.h"
#include "scene/text.h"

namespace {

using namespace zt;
using Clock = std::chrono::steady_clock;

double millisSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// CPU time of this process (all threads, so llvmpipe's workers count too):
// on a busy machine it says more than the wall clock.
double cpuMillis() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Pictures with some texture, so they compress like drawn art does.
std::vector<uint8_t> picture(uint32_t w, uint32_t h, uint32_t key, bool glyph, bool hollow) {
  std::vector<uint8_t> rgba;
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      if (glyph) {
        // A letter-like box outline in black on transparent.
        bool ink = (x == 0 || y == 2 || y + 2 == h || x + 2 == w || (x + y + key) % 5 == 0) &&
                   y >= 2 && y + 2 <= h && x + 1 < w;
        rgba.insert(rgba.end(), {0, 0, 0, static_cast<uint8_t>(ink ? 255 : 0)});
      } else {
        // A framed, lightly striped block of the picture's own colour.
        const bool edge = x == 0 || y == 0 || x + 1 == w || y + 1 == h;
        const int shade = edge ? -70 : ((x + y) / 4 % 2 ? 12 : 0) + static_cast<int>(y * 40 / h);
        for (int shift : {16, 8, 0}) {
          const int c = static_cast<int>(key >> shift & 0xff) + shade;
          rgba.push_back(static_cast<uint8_t>(std::clamp(c, 0, 255)));
        }
        rgba.push_back(hollow && !edge ? 0 : 255);
      }
    }
  }
  return rgba;
}

struct Named {
  const char* name;
  uint32_t w, h;
  uint32_t colour;  // 0xRRGGBB
};
const Named kPictures[] = {
    {"derivative1.png", 24, 32, 0xe0a030}, {"derivative2.png", 24, 32, 0xe0a030},
    {"trollidian1.png", 24, 32, 0xc04040}, {"trollidian2.png", 24, 32, 0xc04040},
    {"progress.png", 300, 4, 0x8fe0d4},    {"progressbar.png", 300, 10, 0xf0f0f0},
    {"panel.png", 300, 70, 0x5060a0},      {"title.png", 320, 84, 0xa050a0},
    {"titlebg.png", 320, 689, 0x304030},   {"gameover.png", 320, 240, 0x602020},
};

bool makePictureSet(const std::string& base) {
  std::filesystem::create_directories(base + "resources/font");
  for (const Named& p : kPictures) {
    auto rgba = picture(p.w, p.h, p.colour, false, p.name == std::string("progressbar.png"));
    if (!writeRgbaPng(base + "resources/" + p.name, p.w, p.h, rgba.data())) return false;
  }
  for (int code = resource_files::kFirstGlyph; code <= resource_files::kLastGlyph; ++code) {
    const uint32_t w = 4 + code % 5;
    auto rgba = picture(w, 12, static_cast<uint32_t>(code), true, false);
    const std::string file = base + resource_files::kFolder + resource_files::glyphFile(code);
    if (!writeRgbaPng(file, w, 12, rgba.data())) return false;
  }
  return true;
}

struct Loaded {
  std::unique_ptr<Store> store = std::make_unique<Store>();
  RunningIds ids;
  std::vector<Image*> pictures;
  Font* font = nullptr;
};

Loaded loadAll(const std::string& base) {
  Loaded out;
  for (const Named& p : kPictures) {
    out.pictures.push_back(
        out.store->keep(loadImage(out.ids.images, base + "resources/" + p.name)));
  }
  out.font = loadFont(*out.store, out.ids, base);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::string shot = "/tmp/zt-play-screen.png";
  std::string realBase;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string option = argv[i];
    if (option == "--shot") shot = argv[i + 1];
    if (option == "--resources") realBase = argv[i + 1];
  }

  char pattern[] = "/tmp/zt-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string base = std::string(pattern) + "/";
  if (!makePictureSet(base)) {
    std::fprintf(stderr, "could not write the picture set\n");
    return 1;
  }

  // The glyphs skipped by the font (8 of 91) are made but never read.
  auto timeDecoding = [](const std::string& set, const char* label) {
    std::vector<double> runs, cpu;
    Loaded last;
    for (int run = 0; run < 9; ++run) {
      const auto start = Clock::now();
      const double cpuStart = cpuMillis();
      last = loadAll(set);
      runs.push_back(millisSince(start));
      cpu.push_back(cpuMillis() - cpuStart);
    }
    std::printf(
        "decode 93 pictures (%s): median %.2f ms wall (min %.2f, max %.2f), %.2f ms CPU, "
        "of 9 runs\n",
        label, median(runs), *std::min_element(runs.begin(), runs.end()),
        *std::max_element(runs.begin(), runs.end()), median(cpu));
    return last;
  };
  Loaded loaded = timeDecoding(base, "made here");
  // The screen is composed from the real pictures when they are given.
  if (!realBase.empty()) loaded = timeDecoding(realBase, realBase.c_str());
  for (Image* image : loaded.pictures) {
    if (!image) return 1;
  }

  OffscreenGl gl;
  if (!gl.valid()) return 1;
  GlRenderer renderer;
  renderer.initialize();
  setClearColor(&renderer, &kBackgroundGrey);

  Image** p = loaded.pictures.data();
  SpriteObject background(loaded.ids.gameObjects, &renderer, p[8]);
  SpriteRenderObject2D marker(loaded.ids.gameObjects, &renderer, p[0]);
  marker.setPosition(Vector2D{0.3f, 0.0f});
  SpriteObject filling(loaded.ids.gameObjects, &renderer, p[4]);
  filling.x = 10;
  filling.y = 153;
  SpriteObject frame(loaded.ids.gameObjects, &renderer, p[5]);
  frame.x = 10;
  frame.y = 150;
  SpriteObject upper(loaded.ids.gameObjects, &renderer, p[6]);
  upper.x = upper.y = 10;
  SpriteObject lower(loaded.ids.gameObjects, &renderer, p[6]);
  lower.x = 10;
  lower.y = 170;
  TextObject name(loaded.ids.gameObjects, "Level 7: The Zorp of Many Keys", loaded.font, &renderer);
  name.x = 160;
  name.y = 219;

  auto drawFrame = [&] {
    renderer.clear();
    background.draw();
    narrowImage(p[4], worldToScreen(renderer, marker.getPosition().x, 0.0f).x - 10);
    marker.draw();
    filling.draw();
    frame.draw();
    upper.draw();
    lower.draw();
    name.draw();
    renderer.endFrame();
    renderer.present();
  };
  for (int i = 0; i < 20; ++i) drawFrame();
  std::vector<double> batches, cpu;
  const int kFrames = 100;
  for (int batch = 0; batch < 7; ++batch) {
    const auto start = Clock::now();
    const double cpuStart = cpuMillis();
    for (int i = 0; i < kFrames; ++i) drawFrame();
    batches.push_back(millisSince(start) / kFrames);
    cpu.push_back((cpuMillis() - cpuStart) / kFrames);
  }
  std::printf(
      "play screen (%zu-character text): median %.3f ms wall (min %.3f), %.3f ms CPU per frame, "
      "of 7 x %d frames\n",
      name.text.size(), median(batches), *std::min_element(batches.begin(), batches.end()),
      median(cpu), kFrames);

  auto pixels = readFramePixels(kWindowWidth, kWindowHeight);
  if (!writeRgbaPng(shot, kWindowWidth, kWindowHeight, pixels.data())) return 1;
  std::printf("screenshot: %s\n", shot.c_str());
  std::filesystem::remove_all(pattern);
  return 0;
}
