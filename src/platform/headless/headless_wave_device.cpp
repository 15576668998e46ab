#include "platform/headless/headless_wave_device.h"

#include <cstdio>
#include <cstring>

#include "audio/speaker.h"

namespace zt {

namespace {

// Virtual time comes in as sums of doubles such as 1/60; without a little
// slack an exact block boundary could land a hair short and slip a frame.
constexpr double kFrameSlack = 1e-6;

}  // namespace

bool HeadlessWaveDevice::open(const WaveFormat& format, DoneCallback done) {
  if (failToOpen_ || opened_ || format.blockAlign == 0) return false;
  format_ = format;
  done_ = std::move(done);
  opened_ = true;
  return true;
}

void HeadlessWaveDevice::submit(const uint8_t* block, uint32_t bytes) {
  queue_.emplace_back(block, block + bytes);
}

void HeadlessWaveDevice::close() {
  // What was played stays recorded; what was still queued is dropped.
  queue_.clear();
  done_ = nullptr;
}

void HeadlessWaveDevice::advance(double seconds) {
  if (!opened_ || !done_ || seconds <= 0.0) return;
  framesDue_ += seconds * format_.samplesPerSecond;
  const double blockFrames = static_cast<double>(kBlockBytes / format_.blockAlign);
  // A span longer than the queued blocks plays the ones the mixer makes as
  // the first come back.
  while (framesDue_ + kFrameSlack >= blockFrames && !queue_.empty()) {
    framesDue_ -= blockFrames;
    const std::vector<uint8_t> bytes = std::move(queue_.front());
    queue_.pop_front();
    if (record_) {
      const size_t start = recording_.size();
      recording_.resize(start + bytes.size() / 2);
      std::memcpy(recording_.data() + start, bytes.data(), bytes.size() / 2 * 2);
    }
    ++blocksPlayed_;
    done_();
  }
}

}  // namespace zt
