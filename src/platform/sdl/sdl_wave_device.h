#pragma once

#include <cstdint>
#include <deque>
#include <mutex>

#include "audio/wave_device.h"

namespace zt {

// The mixer's wave device on SDL2: the default audio output, fed from SDL's
// audio callback with the buffers in the order written.
class SdlWaveDevice : public WaveDevice {
 public:
  SdlWaveDevice() = default;
  SdlWaveDevice(const SdlWaveDevice&) = delete;
  SdlWaveDevice& operator=(const SdlWaveDevice&) = delete;
  ~SdlWaveDevice() override { close(); }

  // Initialises SDL's audio subsystem itself when nobody has.
  bool open(const WaveFormat& format, DoneCallback done, void* user) override;
  void prepare(WaveBuffer& buffer) override;
  void write(WaveBuffer& buffer) override;
  void unprepare(WaveBuffer& buffer) override;

  // Stops the callbacks and closes the device; buffers still queued are
  // dropped without being reported. Stop the mixer first.
  void close();

  // The audio callback's work: copies queued buffers into stream (silence
  // when none is queued) and reports each buffer done once copied out.
  void fill(uint8_t* stream, int length);

 private:
  uint32_t device_ = 0;
  bool ownsAudioSubsystem_ = false;
  DoneCallback done_ = nullptr;
  void* user_ = nullptr;

  std::mutex queueLock_;  // the mixer thread writes, SDL's audio thread reads
  std::deque<WaveBuffer*> queue_;
  uint32_t frontOffset_ = 0;  // bytes of the front buffer already played
};

}  // namespace zt
