#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace zt {

class WaveDevice;

struct SpeakerConfig {
  int32_t sampleRate = 44100;
  int32_t channels = 2;
};

// One decoded sound: frameCount frames of channelCount interleaved signed
// 16-bit samples.
struct SoundClip {
  int32_t id = 0;
  uint32_t frameCount = 0;
  int32_t sampleRate = 0;
  int32_t channelCount = 0;
  std::unique_ptr<int16_t[]> samples;
};

// Fills clip with the next id and a copy of the samples; returns clip.
SoundClip* createSoundClip(SoundClip* clip, uint32_t frameCount, int32_t channelCount,
                           int32_t sampleRate, const int16_t* samples);

// Opens device for the configured format and starts the mixer thread.
// 0 on success; -1 (after "Speaker Interface error: cannot open specified
// wave device.") when the device cannot be opened or is null.
int32_t openSpeaker(const SpeakerConfig& config, WaveDevice* device);

// Starts one new playing instance of clip (null does nothing).
void playSound(SoundClip* clip, bool loop);
// Queues every playing instance of clip for removal after the next block.
void stopSound(SoundClip* clip);

// Number of entries in playingSounds, read without the lock.
uint32_t playingSoundCount();

// Sets mixerStop and waits for the mixer thread (if one runs) to end.
void stopMixer();

}  // namespace zt
