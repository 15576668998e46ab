#pragma once

#include <cstdint>
#include <deque>
#include <mutex>

#include "audio/wave_device.h"

namespace zt {

// The blocks a wave device has been handed and not yet played, in the
// order submitted, for a device that pulls its sound (SDL's audio callback,
// the browser's audio processor, the headless device's virtual time). It
// reads frames off the front into whatever sample format it plays, and each
// block read to its end is reported done, once. The blocks' memory stays the
// mixer's: nothing is copied here.
//
// Submit may come from another thread than the reads (the mixer's), or from
// inside a read (a device that drives the mixing queues the next block from
// the done report): the queue's lock is never held while a block is handed
// out or reported.
class BlockQueue {
 public:
  // Ready for blocks of interleaved 16-bit frames of `channels` samples;
  // `done` is called for each block played.
  void open(uint16_t channels, WaveDevice::DoneCallback done);
  void submit(const uint8_t* block, uint32_t bytes);
  // Drops the queued blocks, played halfway or not, unreported, and reports
  // nothing more until opened again. Not while a read runs on another
  // thread: a device stops its callbacks first.
  void close();
  size_t size() const;

  // Reads up to `frames` frames: hands each stretch of one block to
  // `take(samples, count, at)` (count interleaved frames, to go at frame
  // `at` of this read), and reports each block done as soon as it has been
  // read to its end, so that a block submitted from the report is read on
  // in the same call. Returns the frames read: fewer when the queue ran
  // dry (the rest is the device's silence).
  template <typename Take>
  uint32_t read(uint32_t frames, Take&& take) {
    uint32_t at = 0;
    while (at < frames) {
      const int16_t* samples = nullptr;
      uint32_t count = 0;
      bool finished = false;
      WaveDevice::DoneCallback* done = nullptr;
      {
        std::lock_guard<std::mutex> lock(lock_);
        if (queue_.empty()) break;
        const Block& front = queue_.front();
        count =
            front.frames - frontOffset_ < frames - at ? front.frames - frontOffset_ : frames - at;
        samples = front.samples + static_cast<size_t>(frontOffset_) * channels_;
        frontOffset_ += count;
        finished = frontOffset_ == front.frames;
        if (finished) {
          queue_.pop_front();
          frontOffset_ = 0;
          done = done_ ? &done_ : nullptr;
        }
      }
      // The mixer writes a block again only once it is reported done.
      if (count > 0) take(samples, count, at);
      at += count;
      if (done) (*done)();
    }
    return at;
  }

 private:
  struct Block {
    const int16_t* samples;
    uint32_t frames;
  };

  mutable std::mutex lock_;
  std::deque<Block> queue_;
  uint32_t frontOffset_ = 0;  // frames of the front block already read
  uint16_t channels_ = 2;
  WaveDevice::DoneCallback done_;
};

}  // namespace zt
