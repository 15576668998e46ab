#pragma once

#include <cstdint>

#include "audio/block_queue.h"
#include "audio/wave_device.h"

namespace zt {

// The mixer's wave device in a browser: Web Audio pulls the sound. Its
// audio thread (an AudioWorklet) asks the page for frames over a message
// port, as a static page gets no shared memory, and the page reads them
// from here on its one thread; each block used up has the mixer make the
// next one there and then: the device drives the mixing, so there is no
// mixer thread.
class WebWaveDevice : public WaveDevice {
 public:
  ~WebWaveDevice() override { close(); }

  Mixing mixing() const override { return Mixing::DrivenByDevice; }
  // False when the page has no Web Audio (the game then plays silently).
  bool open(const WaveFormat& format, DoneCallback done) override;
  void submit(const uint8_t* block, uint32_t bytes) override;
  void close() override;

  // Web Audio's request for `frames` frames of sound, as two channels of
  // floats: the queued blocks in order, silence when none is left; each
  // block used up is reported done.
  void fill(float* left, float* right, uint32_t frames);

 private:
  bool opened_ = false;
  BlockQueue queue_;
};

}  // namespace zt
