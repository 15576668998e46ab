#pragma once

#include <cstdint>

namespace zt {

// The PCM format handed to a wave device (the fields of a WAVEFORMATEX).
struct WaveFormat {
  uint16_t formatTag = 1;  // PCM
  uint16_t channels = 2;
  uint32_t samplesPerSecond = 44100;
  uint32_t averageBytesPerSecond = 176400;
  uint16_t blockAlign = 4;
  uint16_t bitsPerSample = 16;
};

// One of the mixer's wave buffers (the part of a WAVEHDR the mixer uses).
struct WaveBuffer {
  static constexpr uint32_t kPrepared = 0x2;  // same bit as WHDR_PREPARED

  uint8_t* data = nullptr;
  uint32_t length = 0;
  uint32_t flags = 0;
  void* deviceData = nullptr;  // the device's own per-buffer record, if any
};

// A wave-output device in the mixer's terms. Buffers written to it are played
// in the order written and each is reported done, in that order, through the
// callback given to open (from whatever thread the device uses). The mixer
// owns the buffers; a device may read a buffer's data from write() until it
// reports that buffer done, and not after.
class WaveDevice {
 public:
  using DoneCallback = void (*)(void* user);

  virtual ~WaveDevice() = default;
  // False when the device cannot be opened.
  virtual bool open(const WaveFormat& format, DoneCallback done, void* user) = 0;
  virtual void prepare(WaveBuffer& buffer) = 0;
  virtual void write(WaveBuffer& buffer) = 0;
  virtual void unprepare(WaveBuffer& buffer) = 0;
  // Called on the opening thread once the mixer thread has been started. A
  // device that plays in virtual time waits here for the first buffers, so
  // that what the game does next meets the same mixer state on every run.
  virtual void mixerStarted() {}
};

}  // namespace zt
