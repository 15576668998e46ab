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
  if (!zt_page_open_audio(static_cast<int>(format.samplesPerSecond))) return false;
  queue_.open(format.channels, std::move(done));
  openDevice = this;
  opened_ = true;
  return true;
}

void WebWaveDevice::submit(const uint8_t* block, uint32_t bytes) {
  queue_.submit(block, bytes);
}

void WebWaveDevice::close() {
  if (!opened_) return;
  zt_page_close_audio();
  opened_ = false;
  openDevice = nullptr;
  queue_.close();
}

void WebWaveDevice::fill(float* left, float* right, uint32_t frames) {
  const uint32_t read =
      queue_.read(frames, [&](const int16_t* samples, uint32_t count, uint32_t at) {
        for (uint32_t i = 0; i < count; ++i) {
          left[at + i] = samples[2 * i] / 32768.0f;
          right[at + i] = samples[2 * i + 1] / 32768.0f;
        }
      });
  for (uint32_t at = read; at < frames; ++at) left[at] = right[at] = 0.0f;  // silence
}

}  // namespace zt

// The page's sound node asks for `frames` frames, in two float buffers in
// the module's memory (page/contract.js holds them).
extern "C" EMSCRIPTEN_KEEPALIVE void zt_audio_fill(float* left, float* right, int frames) {
  if (zt::openDevice && frames > 0)
    zt::openDevice->fill(left, right, static_cast<uint32_t>(frames));
}
