#include "platform/headless/headless_wave_device.h"

#include <utility>

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
  queue_.open(format.channels, std::move(done));
  opened_ = playing_ = true;
  return true;
}

void HeadlessWaveDevice::submit(const uint8_t* block, uint32_t bytes) {
  queue_.submit(block, bytes);
}

void HeadlessWaveDevice::close() {
  // What was played stays recorded; what was still queued is dropped.
  queue_.close();
  playing_ = false;
}

void HeadlessWaveDevice::advance(double seconds) {
  if (!playing_ || seconds <= 0.0) return;
  framesDue_ += seconds * format_.samplesPerSecond;
  const uint32_t blockFrames = kBlockBytes / format_.blockAlign;
  // Whole blocks: a span longer than the queued ones plays those the mixer
  // makes as the first come back.
  while (framesDue_ + kFrameSlack >= blockFrames && queue_.size() > 0) {
    framesDue_ -= blockFrames;
    queue_.read(blockFrames, [this](const int16_t* samples, uint32_t frames, uint32_t) {
      if (record_)
        recording_.insert(recording_.end(), samples, samples + frames * format_.channels);
    });
    ++blocksPlayed_;
  }
}

}  // namespace zt
