// What composing a frame in memory costs (the browser's display), per frame:
//   zt_software_display_bench [--resources BASE_DIR/] [benchmark options]
// The play screen is the real game's: its pictures and calls are taken from
// a game played into its play mode (resources from BASE_DIR/resources/,
// default the working directory), then composed again and again.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/game.h"
#include "core/image.h"
#include "display/software_renderer.h"
#include "doubles.h"
#include "rules/rules.h"
#include "scene/game_object.h"

namespace {

using namespace zt;

std::string resourceBase;

// The real play screen: the marker slid in, level 0's colours, and its
// name (range 0) or the longest level name (range 1), a picture a letter.
void BM_ComposePlayFrame(benchmark::State& state) {
  test::SteppedPlatform platform;
  platform.ticksPerFrame = 1;  // 60 a second
  test::RecordingDisplay recorder;
  GameOptions options;
  options.resourceBase = resourceBase;
  Game game(platform, recorder, options);
  game.start();
  auto pressPlayKey = [&] {
    game.handleMessage({WindowMessage::Kind::KeyDown, kVkD});
    game.runFrame();
    game.handleMessage({WindowMessage::Kind::KeyUp, kVkD});
  };
  pressPlayKey();
  for (int i = 0; i < 600 && game.modes().gameMode != kModeTitlePrompts; ++i) game.runFrame();
  pressPlayKey();
  for (int i = 0; i < 600 && game.modes().gameMode != kModePlay; ++i) game.runFrame();
  if (state.range(0) == 1) {
    const std::string* longest = &levelNames[0];
    for (const std::string& name : levelNames) {
      if (name.size() > longest->size()) longest = &name;
    }
    game.scene().levelText->setText(*longest);
  }
  for (int i = 0; i < 119; ++i) game.runFrame();
  recorder.placed.clear();  // the calls of the last frame alone
  game.runFrame();
  if (game.modes().gameMode != kModePlay || recorder.placed.empty()) {
    state.SkipWithError("the game did not reach its play screen");
    return;
  }

  SoftwareRenderer display;
  display.initialize();
  setClearColor(&display, &kBackgroundGrey);
  for (auto _ : state) {
    display.clear();
    for (const test::RecordingDisplay::Placed& call : recorder.placed) {
      display.drawImage(call.image, call.x, call.y);
    }
    display.present();
    benchmark::DoNotOptimize(display.frame());
  }
  state.counters["pictures"] = static_cast<double>(recorder.placed.size());
}
BENCHMARK(BM_ComposePlayFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The slowest picture there is: the whole screen, every pixel blended
// (range 0 = 1), every pixel opaque (255) or every pixel transparent (0).
void BM_WholeScreenPicture(benchmark::State& state) {
  IdCounter ids;
  std::mt19937 random(1);
  std::vector<uint8_t> bytes(SoftwareRenderer::kFrameRowBytes * SoftwareRenderer::kFrameHeight);
  for (size_t i = 0; i < bytes.size(); ++i) {
    const bool alpha = i % 4 == 3;
    bytes[i] = alpha && state.range(0) != 1 ? static_cast<uint8_t>(state.range(0))
                                            : static_cast<uint8_t>(1 + random() % 254);
  }
  Image picture(ids, SoftwareRenderer::kFrameWidth, SoftwareRenderer::kFrameHeight, bytes.data());
  SoftwareRenderer display;
  display.initialize();
  for (auto _ : state) {
    display.drawImage(&picture, 0, 0);
    benchmark::DoNotOptimize(display.frame());
  }
}
BENCHMARK(BM_WholeScreenPicture)->Arg(1)->Arg(255)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--resources") == 0) resourceBase = argv[i + 1];
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
