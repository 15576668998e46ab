#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/wave_device.h"
#include "core/id_counter.h"

namespace zt {

struct SpeakerConfig {
  int32_t sampleRate = kOutputRate;
  int32_t channels = kOutputChannels;  // only the low 16 bits are used
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

// One started instance of a clip.
struct PlayingSound {
  SoundClip* clip = nullptr;
  bool loop = false;
  uint32_t length = 0;    // the clip's frame count, copied at start
  uint32_t position = 0;  // next frame to mix
};

// The unit of mixing and output: 512 stereo frames, about 11.6 ms.
constexpr int32_t kBlockSamples = static_cast<int32_t>(kBlockFrames) * kOutputChannels;
constexpr int32_t kBlockBytes = kBlockSamples * 2;
// Blocks the mixer keeps queued at the device.
constexpr int32_t kWaveBufferCount = 10;

// The game's sound output: a list of playing sounds, summed by a mixer
// thread of its own into blocks that go to a wave device through a ring of
// ten buffers. The thread sleeps until the device hands a buffer back. A
// device without threads drives the same mixing itself (WaveDevice::Mixing):
// the same blocks in the same order, with no thread.
//
// Three threads meet here: the owner's (clips, play, stop, open, close),
// the mixer's, and the device's callback. playingListLock guards the
// playing list and the removals, bufferCountLock the free-buffer count and
// the stop flag; the only nesting is playingListLock, then bufferCountLock.
class SpeakerInterface {
 public:
  SpeakerInterface() = default;
  // Stops and joins the mixer and closes the device.
  ~SpeakerInterface();
  SpeakerInterface(const SpeakerInterface&) = delete;
  SpeakerInterface& operator=(const SpeakerInterface&) = delete;

  // Fills clip with the next clip id and a copy of the samples; returns
  // clip. The mixer reads every clip as interleaved stereo, so a clip of
  // another channel count is stored as stereo (mono doubled, channels past
  // the second dropped) and null samples give an empty clip.
  SoundClip* createSoundClip(SoundClip* clip, uint32_t frameCount, int32_t channelCount,
                             int32_t sampleRate, const int16_t* samples);

  // Opens device for the configured format, starts the mixer thread (unless
  // the device drives the mixing) and returns once the ten buffers are
  // filled (silence when nothing plays), so a sound started afterwards is
  // heard right behind them. 0 on
  // success; -1 (after "Speaker Interface error: cannot open specified wave
  // device.") when the device is null or cannot be opened, or when the
  // speaker is open already or was closed.
  int32_t openSpeaker(const SpeakerConfig& config, WaveDevice* device);

  // Starts one new playing instance of clip (null does nothing). Works
  // whether or not the speaker is open.
  void playSound(SoundClip* clip, bool loop);
  // Queues every playing instance of clip for removal after the next block.
  void stopSound(SoundClip* clip);
  // Entries in the playing list; read without the lock.
  uint32_t playingSoundCount() const { return playingCount.load(); }

  // Stops the mixer thread, waits for it however stuck the device is, then
  // closes the device; the speaker cannot be opened again. Safe to call more
  // than once, and when never opened.
  void closeSpeaker();

  // ---- The mixer's workings, for the tests and the benchmarks ----

  // openSpeaker without the thread, so a test can run the mixer pass by pass.
  int32_t openDevice(const SpeakerConfig& config, WaveDevice* device);
  // One pass: when a buffer is free, mixes every playing sound into a
  // block, carries out the queued removals and submits the block. False
  // (and nothing done) when no buffer is free or nothing is open.
  bool mixOneBlock();
  // The device's done callback: one more buffer may be filled (and is,
  // here, when the device drives the mixing).
  void waveOutDone();

  struct Inspection {
    std::vector<PlayingSound> playingSounds;
    size_t pendingRemovals = 0;
    int32_t freeBufferCount = 0;
    int32_t nextHeaderIndex = 0;
  };
  // A copy of the mixer's state, taken under its locks.
  Inspection inspect() const;
  // The data of wave buffer `index` (of kWaveBufferCount), once opened.
  const uint8_t* waveBuffer(int32_t index) const;

 private:
  void mixerThread();
  void submitWaveBuffer();

  IdCounter nextClipId;

  mutable std::mutex playingListLock;
  std::list<PlayingSound> playingSounds;
  std::vector<PlayingSound*> pendingRemovals;
  std::atomic<uint32_t> playingCount{0};  // playingSounds.size(), for lock-free reads

  mutable std::mutex bufferCountLock;
  int32_t freeBufferCount = kWaveBufferCount;
  bool mixerStop = false;
  std::condition_variable bufferFreed;  // a buffer came back, or stop
  int32_t passesMixed = 0;              // counted until the first ten are out
  std::condition_variable buffersPrimed;

  // The mixer thread's alone once open.
  WaveDevice* device = nullptr;
  bool drivenByDevice = false;
  std::unique_ptr<int16_t[]> waveBufferMemory;  // the ten blocks, mixed in place
  int32_t nextHeaderIndex = 0;

  std::thread mixerThreadHandle;
};

}  // namespace zt
