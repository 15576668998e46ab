#include "platform/headless/headless_wave_device.h"

#include <cstdio>
#include <cstring>

#include "audio/speaker.h"

namespace zt {

namespace {

// Virtual time comes in as sums of doubles such as 1/60; without a little
// slack an exact block boundary could land a hair short and slip a frame.
constexpr double kFrameSlack = 1e-6;

void putLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

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

bool HeadlessWaveDevice::writeWav(const std::string& path) const {
  const uint16_t channels = opened_ ? format_.channels : 2;
  const uint32_t rate = opened_ ? format_.samplesPerSecond : 44100;
  const uint32_t dataBytes = static_cast<uint32_t>(recording_.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  const char* riff = "RIFF";
  out.insert(out.end(), riff, riff + 4);
  putLe(out, 36 + dataBytes, 4);
  const char* wave = "WAVEfmt ";
  out.insert(out.end(), wave, wave + 8);
  putLe(out, 16, 4);
  putLe(out, 1, 2);  // PCM
  putLe(out, channels, 2);
  putLe(out, rate, 4);
  putLe(out, rate * channels * 2, 4);
  putLe(out, channels * 2, 2);
  putLe(out, 16, 2);
  const char* data = "data";
  out.insert(out.end(), data, data + 4);
  putLe(out, dataBytes, 4);
  for (int16_t sample : recording_) putLe(out, static_cast<uint16_t>(sample), 2);

  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace zt
