#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "audio/wave_device.h"

namespace zt {

// A wave device that plays in virtual time: each presented frame hands it the
// frame's duration, it consumes what that span covers and records it. After
// every advance the mixer has caught up, so a run's sound is the same bytes
// every time.
class HeadlessWaveDevice : public WaveDevice {
 public:
  // failToOpen: behave like a machine without a sound device. record: keep
  // what is played (a long run without it stays in constant memory).
  explicit HeadlessWaveDevice(bool failToOpen = false, bool record = true)
      : failToOpen_(failToOpen), record_(record) {}

  bool open(const WaveFormat& format, DoneCallback done, void* user) override;
  void prepare(WaveBuffer& buffer) override;
  void write(WaveBuffer& buffer) override;
  void unprepare(WaveBuffer& buffer) override;
  void mixerStarted() override;

  // Plays seconds of virtual time: consumes the buffers that span covers
  // (the fraction of a buffer left over counts towards the next call),
  // reports each one done, and returns once the mixer has refilled every
  // free buffer. Main thread.
  void advance(double seconds);

  // Interleaved samples of every buffer consumed so far, in order.
  const std::vector<int16_t>& recording() const { return recording_; }
  uint64_t buffersConsumed() const { return buffersConsumed_; }
  // Buffers written and not yet consumed.
  size_t queuedBuffers();

  // The recording as a 16-bit PCM WAV file in the opened format. False when
  // the file cannot be written.
  bool writeWav(const std::string& path) const;

 private:
  bool failToOpen_;
  bool record_;
  bool opened_ = false;
  WaveFormat format_;
  DoneCallback done_ = nullptr;
  void* user_ = nullptr;

  std::mutex queueLock_;  // written by the mixer thread, consumed by the main one
  std::deque<std::vector<uint8_t>> queue_;

  double framesDue_ = 0.0;
  uint64_t buffersConsumed_ = 0;
  std::vector<int16_t> recording_;
};

}  // namespace zt
