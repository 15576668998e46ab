#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

#include "audio/ogg_clip.h"
#include "audio/speaker.h"

namespace zt {

namespace {

struct DecodedClip {
  ClipFormat format;
  std::unique_ptr<int16_t[]> samples;
  std::string errors;
};

void decodeInto(DecodedClip& clip, const std::string& path) {
  clip.samples = decodeOggClip(clip.format, path, clip.errors);
}

}  // namespace

std::vector<std::unique_ptr<SoundClip>> loadSoundClips(SpeakerInterface& speaker,
                                                       const std::vector<std::string>& paths,
                                                       unsigned workerCount) {
  std::vector<DecodedClip> decoded(paths.size());
  if (workerCount == 0) workerCount = std::max(1u, std::thread::hardware_concurrency());
  workerCount = static_cast<unsigned>(std::min<size_t>(workerCount, paths.size()));

  if (workerCount <= 1) {
    for (size_t i = 0; i < paths.size(); ++i) decodeInto(decoded[i], paths[i]);
  } else {
    // Each worker takes the next file not yet started, so a long clip on one
    // core does not hold up the short ones.
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (unsigned w = 0; w < workerCount; ++w) {
      workers.emplace_back([&] {
        for (size_t i = next.fetch_add(1); i < paths.size(); i = next.fetch_add(1)) {
          decodeInto(decoded[i], paths[i]);
        }
      });
    }
    for (std::thread& worker : workers) worker.join();
  }

  const int32_t outputRate = static_cast<int32_t>(kOutputRate);
  std::vector<std::unique_ptr<SoundClip>> clips;
  clips.reserve(paths.size());
  for (size_t i = 0; i < paths.size(); ++i) {
    DecodedClip& clip = decoded[i];
    std::fputs(clip.errors.c_str(), stderr);
    auto soundClip = std::make_unique<SoundClip>();
    if (!clip.samples) {
      // Failed files play as silence rather than as some other file's format.
      speaker.createSoundClip(soundClip.get(), 0, 2, outputRate, nullptr);
    } else {
      if (clip.format.sampleRate != outputRate) {
        std::fprintf(stderr, "Warning: %s is at %d Hz and plays at %d Hz\n", paths[i].c_str(),
                     clip.format.sampleRate, outputRate);
      }
      speaker.createSoundClip(soundClip.get(), static_cast<uint32_t>(clip.format.frameCount),
                              clip.format.channelCount, clip.format.sampleRate, clip.samples.get());
    }
    clips.push_back(std::move(soundClip));
  }
  return clips;
}

}  // namespace zt
