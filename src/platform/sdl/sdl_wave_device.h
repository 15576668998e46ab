#pragma once

#include <cstdint>
#include <deque>
#include <mutex>

#include "audio/wave_device.h"

namespace zt {

// The mixer's wave device on SDL2: the default audio output, fed from SDL's
// audio callback with the blocks in the order submitted.
class SdlWaveDevice : public WaveDevice {
 public:
  SdlWaveDevice() = default;
  SdlWaveDevice(const SdlWaveDevice&) = delete;
  SdlWaveDevice& operator=(const SdlWaveDevice&) = delete;
  ~SdlWaveDevice() override { close(); }

  // Initialises SDL's audio subsystem itself when nobody has.
  bool open(const WaveFormat& format, DoneCallback done) override;
  void submit(const uint8_t* block, uint32_t bytes) override;
  // Stops the callbacks (waiting for a running one) and closes the device;
  // blocks still queued are dropped without being reported.
  void close() override;

  // The audio callback's work: copies queued blocks into stream (silence
  // when none is queued) and reports each block done once copied out.
  void fill(uint8_t* stream, int length);

 private:
  struct Block {
    const uint8_t* data;
    uint32_t bytes;
  };

  uint32_t device_ = 0;
  bool ownsAudioSubsystem_ = false;
  DoneCallback done_;

  std::mutex queueLock_;  // the mixer thread submits, SDL's audio thread reads
  std::deque<Block> queue_;
  uint32_t frontOffset_ = 0;  // bytes of the front block already played
};

}  // namespace zt
