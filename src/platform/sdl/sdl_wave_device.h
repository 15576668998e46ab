#pragma once

#include <cstdint>

#include "audio/block_queue.h"
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

  // The audio callback's work: the queued blocks into stream (silence when
  // none is queued), each reported done once read to its end.
  void fill(uint8_t* stream, int length);

 private:
  uint32_t device_ = 0;
  bool ownsAudioSubsystem_ = false;
  uint32_t frameBytes_ = 4;
  BlockQueue queue_;  // the mixer thread submits, SDL's audio thread reads
};

}  // namespace zt
