#pragma once

#include <cstdint>
#include <vector>

#include "audio/block_queue.h"
#include "audio/wave_device.h"

namespace zt {

// A wave device that plays in virtual time: each presented frame hands it the
// frame's duration, and it plays (and records) the blocks that span covers.
// It drives the mixer itself, on the game's thread: each block played has
// the next one mixed before the next is played. So whatever the game does
// between two frames meets the mixer in the same state, and a run's sound is
// the same bytes every time.
class HeadlessWaveDevice : public WaveDevice {
 public:
  // failToOpen: behave like a machine without a sound device. record: keep
  // what is played (a long run without it stays in constant memory).
  explicit HeadlessWaveDevice(bool failToOpen = false, bool record = true)
      : failToOpen_(failToOpen), record_(record) {}

  Mixing mixing() const override { return Mixing::DrivenByDevice; }
  bool open(const WaveFormat& format, DoneCallback done) override;
  void submit(const uint8_t* block, uint32_t bytes) override;
  void close() override;

  // Plays seconds of virtual time: consumes the blocks that span covers (the
  // fraction of a block left over counts towards the next call) and reports
  // each one done, which has the mixer queue the next. Silence once nothing
  // is queued (the speaker closed).
  void advance(double seconds);

  // Interleaved samples of every block played so far, in order.
  const std::vector<int16_t>& recording() const { return recording_; }
  uint64_t blocksPlayed() const { return blocksPlayed_; }
  // Blocks submitted and not yet played.
  size_t queuedBlocks() const { return queue_.size(); }
  // The format it was opened with; the game's when it never opened.
  const WaveFormat& format() const { return format_; }

 private:
  bool failToOpen_;
  bool record_;
  bool opened_ = false;
  bool playing_ = false;  // opened and not closed
  WaveFormat format_;
  BlockQueue queue_;

  double framesDue_ = 0.0;
  uint64_t blocksPlayed_ = 0;
  std::vector<int16_t> recording_;
};

}  // namespace zt
