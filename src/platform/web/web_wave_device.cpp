#include "platform/web/web_wave_device.h"

#include <emscripten.h>

#include <utility>

#include "platform/web/page_contract.h"

namespace zt {

namespace {

WebWaveDevice* openDevice = nullptr;

}  // namespace

bool WebWaveDevice::open(const WaveFormat& format, DoneCallback done) {
  if (opened_ || openDevice || format.channels != 2 || format.bitsPerSample != 16) return false;
  done_ = std::move(done);
  openDevice = this;
  if (!zt_page_open_audio(static_cast<int>(format.samplesPerSecond))) {
    openDevice = nullptr;
    done_ = nullptr;
    return false;
  }
  opened_ = true;
  return true;
}

void WebWaveDevice::submit(const uint8_t* block, uint32_t bytes) {
  queue_.push_back(Block{reinterpret_cast<const int16_t*>(block), bytes / 4});
}

void WebWaveDevice::close() {
  if (!opened_) return;
  zt_page_close_audio();
  opened_ = false;
  openDevice = nullptr;
  queue_.clear();
  frontOffset_ = 0;
  done_ = nullptr;
}

void WebWaveDevice::fill(float* left, float* right, int frames) {
  int at = 0;
  while (at < frames && !queue_.empty()) {
    const Block block = queue_.front();
    for (; at < frames && frontOffset_ < block.frames; ++at, ++frontOffset_) {
      left[at] = block.samples[2 * frontOffset_] / 32768.0f;
      right[at] = block.samples[2 * frontOffset_ + 1] / 32768.0f;
    }
    if (frontOffset_ < block.frames) break;
    // Off the queue before it is reported: the report queues the next block.
    queue_.pop_front();
    frontOffset_ = 0;
    if (done_) done_();
  }
  for (; at < frames; ++at) left[at] = right[at] = 0.0f;
}

}  // namespace zt

// The page's sound node asks for `frames` frames, in two float buffers in
// the module's memory (page/contract.js holds them).
extern "C" EMSCRIPTEN_KEEPALIVE void zt_audio_fill(float* left, float* right, int frames) {
  if (zt::openDevice) zt::openDevice->fill(left, right, frames);
}
