// Costs of the sound path: the mixer's pass per block, and decoding clips
// like the game's at start-up, one thread against several.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/ogg_clip.h"
#include "audio/speaker.h"
#include "doubles.h"

namespace {

using namespace zt;

SoundClip noiseClip(SpeakerInterface& speaker, uint32_t frames, uint32_t seed) {
  std::vector<int16_t> samples(frames * 2);
  for (int16_t& s : samples) {
    seed = seed * 1664525u + 1013904223u;
    s = static_cast<int16_t>(seed >> 16);
  }
  SoundClip clip;
  speaker.createSoundClip(&clip, frames, 2, 44100, samples.data());
  return clip;
}

// One mixer pass with state.range(0) sounds playing (loud, so the
// saturation paths are taken too); looping when range(1) is 1.
void BM_MixOneBlock(benchmark::State& state) {
  test::TestWaveDevice device;
  SpeakerInterface speaker;
  speaker.openDevice(SpeakerConfig{}, &device);
  std::vector<SoundClip> clips;
  for (int i = 0; i < state.range(0); ++i) {
    clips.push_back(noiseClip(speaker, 44100 * 3 + i * 777, i + 1));
  }
  for (SoundClip& clip : clips) speaker.playSound(&clip, true);
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    speaker.waveOutDone();
    speaker.mixOneBlock();
  }
  const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
  // What one pass costs against the 11.6 ms that one block plays for.
  state.counters["share_of_block_%"] =
      100.0 * spent.count() / static_cast<double>(state.iterations()) / (512.0 / 44100.0);
}
BENCHMARK(BM_MixOneBlock)->Arg(0)->Arg(1)->Arg(5)->Arg(10);

// Five files like the game's: two pieces of music, three short effects.
struct ClipFiles {
  ClipFiles() {
    char pattern[] = "/tmp/zt-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    dir = pattern;
    struct ClipToMake {
      const char* name;
      double seconds;
      const char* synth;
    };
    const ClipToMake clips[] = {
        {"title.ogg", 42, "sine 220 pinknoise"},   {"levels.ogg", 55, "pinknoise sine 330"},
        {"death.ogg", 1.2, "sine 110 whitenoise"}, {"accept.ogg", 0.4, "sine 880 sine 1320"},
        {"over.ogg", 2.5, "pinknoise pinknoise"},
    };
    for (const ClipToMake& clip : clips) {
      const std::string wav = dir + "/" + clip.name + ".wav";
      const std::string ogg = dir + "/" + clip.name;
      const std::string command = "sox -q -n -r 44100 -c 2 -b 16 " + wav + " synth " +
                                  std::to_string(clip.seconds) + " " + clip.synth +
                                  " vol 0.5 && oggenc -Q -o " + ogg + " " + wav + " && rm " + wav;
      if (std::system(command.c_str()) != 0) return;
      paths.push_back(ogg);
    }
  }
  ~ClipFiles() {
    std::error_code ignored;
    if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
  }
  std::string dir;
  std::vector<std::string> paths;
};

const std::vector<std::string>& benchClips() {
  static ClipFiles files;
  return files.paths;
}

// The game's own clips, when a build has generated them (ZT_RESOURCES).
std::vector<std::string> gameClips() {
  std::vector<std::string> paths;
  const char* dir = std::getenv("ZT_RESOURCES");
  if (dir == nullptr) return paths;
  for (const char* name : {"painting_with_gasoline.ogg", "intention_ignited.ogg", "death.ogg",
                           "accept.ogg", "gameover.ogg"}) {
    paths.push_back(std::string(dir) + "/" + name);
  }
  return paths;
}

void decodeAll(benchmark::State& state, const std::vector<std::string>& paths) {
  if (paths.size() != 5) {
    state.SkipWithError("clips missing (sox/oggenc, or ZT_RESOURCES)");
    return;
  }
  for (auto _ : state) {
    SpeakerInterface speaker;
    auto clips = loadSoundClips(speaker, paths, static_cast<unsigned>(state.range(0)));
    benchmark::DoNotOptimize(clips);
  }
}

// range(0): decoding threads (1 = serial).
void BM_DecodeFiveClips(benchmark::State& state) {
  decodeAll(state, benchClips());
}
BENCHMARK(BM_DecodeFiveClips)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeGameClips(benchmark::State& state) {
  decodeAll(state, gameClips());
}
BENCHMARK(BM_DecodeGameClips)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
