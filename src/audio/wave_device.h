#pragma once

#include <cstdint>
#include <functional>

namespace zt {

// The game's sound output: frames a second, channels of 16-bit samples,
// and the frames of a block, the unit of mixing and output.
constexpr uint32_t kOutputRate = 44100;
constexpr uint16_t kOutputChannels = 2;
constexpr uint32_t kBlockFrames = 512;

// The PCM format handed to a wave device (the fields of a WAVEFORMATEX).
struct WaveFormat {
  uint16_t formatTag = 1;  // PCM
  uint16_t channels = kOutputChannels;
  uint32_t samplesPerSecond = kOutputRate;
  uint32_t averageBytesPerSecond = kOutputRate * kOutputChannels * 2;
  uint16_t blockAlign = kOutputChannels * 2;
  uint16_t bitsPerSample = 16;
};

// A wave-output device in the mixer's terms. Blocks submitted to it are
// played in the order submitted and each is reported done, in that order,
// through the callback given to open (from whatever thread the device
// uses). The mixer owns a block's bytes; the device may read them from
// submit until it reports that block done, and not after.
class WaveDevice {
 public:
  using DoneCallback = std::function<void()>;

  // Who runs the mixer. A device that plays on a thread of its own leaves
  // it to the mixer's thread, which sleeps until a buffer comes back. One
  // that has no threads to spare (the headless runner's, the browser's)
  // drives it: each block reported done has the next one mixed and
  // submitted inside the done callback, on the device's calling thread.
  enum class Mixing { MixerThread, DrivenByDevice };

  virtual ~WaveDevice() = default;
  virtual Mixing mixing() const { return Mixing::MixerThread; }
  // False when the device cannot be opened.
  virtual bool open(const WaveFormat& format, DoneCallback done) = 0;
  virtual void submit(const uint8_t* block, uint32_t bytes) = 0;
  // Stops playing; blocks not yet reported are dropped and no callback
  // comes after it returns. Safe to call when not open.
  virtual void close() = 0;
};

}  // namespace zt
