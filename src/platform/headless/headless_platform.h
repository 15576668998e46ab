#pragma once

#include <cstdint>
#include <deque>
#include <memory>

#include "app/platform.h"
#include "platform/headless/headless_wave_device.h"
#include "platform/headless/offscreen_gl.h"

namespace zt {

// No window and no display: offscreen OpenGL, a virtual clock that moves on
// by dt at every present, messages posted by whoever drives it, and a wave
// device that plays in virtual time. The same arguments give the same
// frames, sound and pictures on every run.
class HeadlessPlatform : public Platform {
 public:
  // soundDevice false: the device refuses to open, as on a machine without
  // one. recordSound: keep what is played, for writeWav.
  explicit HeadlessPlatform(double dt, bool soundDevice = true, bool recordSound = false);

  // The offscreen context, made current; false (after a line on standard
  // error) when there is none.
  bool createContext();

  // Queued for the message pump, which takes one per frame.
  void post(const WindowMessage& message) { queue_.push_back(message); }
  bool hasQueuedMessages() const { return !queue_.empty(); }

  bool pumpOneMessage() override;
  // Plays the frame's worth of virtual time.
  void swapBuffers() override;
  int64_t counter() override { return presents_; }
  double counterFrequency() override { return 1.0 / dt_; }
  void runAboutBox() override {}
  WaveDevice* waveDevice() override { return &wave_; }

  HeadlessWaveDevice& wave() { return wave_; }
  int64_t presents() const { return presents_; }
  double dt() const { return dt_; }

 private:
  double dt_;
  std::unique_ptr<OffscreenGl> gl_;
  HeadlessWaveDevice wave_;
  std::deque<WindowMessage> queue_;
  int64_t presents_ = 0;
};

}  // namespace zt
