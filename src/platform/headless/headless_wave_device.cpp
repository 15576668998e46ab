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

bool HeadlessWaveDevice::open(const WaveFormat& format, DoneCallback done, void* user) {
  if (failToOpen_ || opened_ || format.blockAlign == 0) return false;
  format_ = format;
  done_ = done;
  user_ = user;
  opened_ = true;
  return true;
}

void HeadlessWaveDevice::prepare(WaveBuffer& buffer) {
  buffer.flags |= WaveBuffer::kPrepared;
}

void HeadlessWaveDevice::unprepare(WaveBuffer& buffer) {
  buffer.flags &= ~WaveBuffer::kPrepared;
}

void HeadlessWaveDevice::write(WaveBuffer& buffer) {
  std::vector<uint8_t> bytes(buffer.data, buffer.data + buffer.length);
  std::lock_guard<std::mutex> lock(queueLock_);
  queue_.push_back(std::move(bytes));
}

void HeadlessWaveDevice::mixerStarted() {
  waitForMixerIdle();
}

size_t HeadlessWaveDevice::queuedBuffers() {
  std::lock_guard<std::mutex> lock(queueLock_);
  return queue_.size();
}

void HeadlessWaveDevice::advance(double seconds) {
  if (!opened_ || seconds <= 0.0) return;
  framesDue_ += seconds * format_.samplesPerSecond;
  const double blockFrames = static_cast<double>(kBlockBytes / format_.blockAlign);
  while (framesDue_ + kFrameSlack >= blockFrames) {
    framesDue_ -= blockFrames;
    std::vector<uint8_t> bytes;
    for (int attempt = 0; attempt < 2 && bytes.empty(); ++attempt) {
      // A span longer than the ten queued buffers needs the mixer to refill.
      if (attempt == 1) waitForMixerIdle();
      std::lock_guard<std::mutex> lock(queueLock_);
      if (!queue_.empty()) {
        bytes = std::move(queue_.front());
        queue_.pop_front();
      }
    }
    if (bytes.empty()) continue;  // ran dry: that stretch of time plays nothing
    if (record_) {
      const size_t start = recording_.size();
      recording_.resize(start + bytes.size() / 2);
      std::memcpy(recording_.data() + start, bytes.data(), bytes.size() / 2 * 2);
    }
    ++buffersConsumed_;
    if (done_ != nullptr) done_(user_);
  }
  waitForMixerIdle();
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
