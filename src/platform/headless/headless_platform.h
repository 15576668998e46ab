#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include "app/message_queue.h"
#include "app/platform.h"
#include "display/gl_renderer.h"
#include "platform/headless/headless_wave_device.h"
#include "platform/headless/offscreen_gl.h"
#include "program/program.h"

namespace zt {

// No window and no display: offscreen OpenGL, a virtual clock that moves on
// at every present (by dt; or by dt more or less, as a real machine's
// frames vary; or as a replayed recording says), messages posted by
// whoever drives it, and a wave device that plays in virtual time. The same
// arguments give the same frames, sound and pictures on every run.
class HeadlessPlatform : public Platform {
 public:
  // soundDevice false: the device refuses to open, as on a machine without
  // one. recordSound: keep what is played (wave().recording()).
  explicit HeadlessPlatform(double dt, bool soundDevice = true, bool recordSound = false);

  // The offscreen context, made current; false (after a line on standard
  // error) when there is none.
  bool createContext();

  // Each frame lasts dt x (1 + fraction x u), u spread evenly over [-1, 1]
  // by a generator seeded with `seed`; the counter then counts nanoseconds
  // and the virtual time is that of the game's latest reading, as in a
  // replay.
  void setJitter(double fraction, uint64_t seed);
  // The virtual time is what `now` gives (a replay's: the time of the
  // latest clock reading the game was given); presents play the sound up to
  // it.
  void followTime(std::function<double()> now) { followed_ = std::move(now); }

  // Queued for the message pump, which takes one per frame; one posted
  // `withPrevious` goes in the same message step as the one before it.
  void post(const WindowMessage& message, bool withPrevious = false) {
    queue_.post(message, withPrevious);
  }
  bool hasQueuedMessages() const { return !queue_.empty(); }

  bool pumpOneMessage(std::vector<WindowMessage>& taken) override;
  // Moves the virtual clock on by a frame and plays the frame's worth of
  // sound.
  void showFrame() override;
  int64_t counter() override {
    lastRead_ = ticks_;
    return ticks_;
  }
  double counterFrequency() override { return frequency_; }
  void runAboutBox() override {}
  WaveDevice* waveDevice() override { return &wave_; }

  HeadlessWaveDevice& wave() { return wave_; }
  // Virtual seconds: at the last present, or (jitter, replay) at the game's
  // latest clock reading.
  double seconds() const { return followed_ ? followed_() : seconds_; }

 private:
  double dt_;
  double frequency_;
  double jitter_ = 0.0;
  std::mt19937_64 random_;
  std::function<double()> followed_;
  std::unique_ptr<OffscreenGl> gl_;
  HeadlessWaveDevice wave_;
  MessageQueue queue_;
  int64_t presents_ = 0;
  int64_t ticks_ = 0;
  int64_t lastRead_ = 0;
  double seconds_ = 0.0;  // how far the sound has played
};

// The runner's backend: the headless platform and the OpenGL display on its
// offscreen context.
class HeadlessBackend : public Backend {
 public:
  HeadlessBackend(double dt, bool soundDevice, bool recordSound)
      : platform_(dt, soundDevice, recordSound) {}
  bool open() override { return platform_.createContext(); }
  HeadlessPlatform& platform() override { return platform_; }
  Renderer& display() override { return display_; }

 private:
  HeadlessPlatform platform_;
  GlRenderer display_;
};

}  // namespace zt
