#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "audio/wave_device.h"

namespace zt {

// A wave device that plays in virtual time: each presented frame hands it the
// frame's duration, it plays (and records) the blocks that span covers, and
// returns once the mixer has refilled what it played. So whatever the game
// does between two frames meets the mixer in the same state, and a run's
// sound is the same bytes every time.
class HeadlessWaveDevice : public WaveDevice {
 public:
  // failToOpen: behave like a machine without a sound device. record: keep
  // what is played (a long run without it stays in constant memory).
  explicit HeadlessWaveDevice(bool failToOpen = false, bool record = true)
      : failToOpen_(failToOpen), record_(record) {}

  bool open(const WaveFormat& format, DoneCallback done) override;
  void submit(const uint8_t* block, uint32_t bytes) override;
  void close() override;

  // Plays seconds of virtual time: consumes the blocks that span covers (the
  // fraction of a block left over counts towards the next call), reports
  // each one done, and waits until the mixer has queued as many blocks as
  // it keeps at a device. Main thread, while the speaker is open.
  void advance(double seconds);

  // Interleaved samples of every block played so far, in order.
  const std::vector<int16_t>& recording() const { return recording_; }
  uint64_t blocksPlayed() const { return blocksPlayed_; }
  // Blocks submitted and not yet played.
  size_t queuedBlocks();

  // The recording as a 16-bit PCM WAV file in the opened format. False when
  // the file cannot be written.
  bool writeWav(const std::string& path) const;

 private:
  bool failToOpen_;
  bool record_;
  bool opened_ = false;
  WaveFormat format_;
  DoneCallback done_;

  std::mutex queueLock_;  // the mixer thread submits, the main one plays
  std::condition_variable submitted_;
  std::deque<std::vector<uint8_t>> queue_;

  double framesDue_ = 0.0;
  uint64_t blocksPlayed_ = 0;
  std::vector<int16_t> recording_;
};

}  // namespace zt
