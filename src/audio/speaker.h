#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <vector>

#include "audio/wave_device.h"

namespace zt {

struct SpeakerConfig {
  int32_t sampleRate = 44100;
  int32_t channels = 2;  // only the low 16 bits are used
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

// Fills clip with the next id and a copy of the samples; returns clip. The
// mixer reads every clip as interleaved stereo, so a clip of another channel
// count is stored as stereo (mono doubled, channels past the second dropped)
// and a null samples pointer gives an empty clip.
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

// Sets mixerStop and waits for the mixer thread (if one runs) to end. Safe to
// call more than once, and when no thread was ever started.
void stopMixer();

// ---------------------------------------------------------------------------
// The mixer's workings, for the wave devices, the tests and the benchmarks.

constexpr int32_t kBlockSamples = 1024;  // 512 stereo frames
constexpr int32_t kBlockBytes = kBlockSamples * 2;
constexpr int32_t kWaveBufferCount = 10;

struct PlayingSound {
  SoundClip* clip = nullptr;
  bool loop = false;
  uint32_t length = 0;    // the clip's frame count, copied at start
  uint32_t position = 0;  // next frame to mix
};

// Guarded by playingListLock: the playing instances in playSound order, and
// the entries to drop after the block being mixed.
extern std::list<PlayingSound> playingSounds;
extern std::vector<PlayingSound*> pendingRemovals;
extern std::mutex playingListLock;

// Guarded by bufferCountLock (taken after playingListLock, never before);
// read without it by the mixer.
extern std::atomic<int32_t> freeBufferCount;
extern std::mutex bufferCountLock;

extern std::atomic<bool> mixerStop;

// Mixer thread only (after openSpeaker has set them up).
extern std::array<WaveBuffer, kWaveBufferCount> waveHeaders;
extern int32_t nextHeaderIndex;

// The thread's loop: one mixOneBlock() at a time until mixerStop is set,
// yielding while no buffer is free.
int32_t mixerThread();

// One pass of the mixer: when a buffer is free, mixes every playing sound
// into a block, submits it and carries out the queued removals. False (and
// nothing done) when no buffer is free.
bool mixOneBlock();

// Hands one block of kBlockSamples samples to the device through the next
// wave header in the rotation.
int32_t submitWaveBuffer(const int16_t* block);

// The device's done callback: one more buffer may be filled.
void waveOutDone(void* user);

// openSpeaker without starting the thread, so that a test can run the mixer
// pass by pass with mixOneBlock().
int32_t openSpeakerDevice(const SpeakerConfig& config, WaveDevice* device);

// Returns once the mixer thread has filled every free buffer and finished
// the pass it was in; at once when no mixer thread runs. A device that plays
// in virtual time calls it after reporting buffers done.
void waitForMixerIdle();

// Stops the mixer and puts the module back to its state before openSpeaker
// (empty lists, ten free buffers, no device). The clip id counter goes on.
void resetSpeaker();

}  // namespace zt
