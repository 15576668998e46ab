#include "platform/headless/headless_platform.h"

#include <cmath>
#include <cstdio>

#include "core/screen.h"

namespace zt {

HeadlessPlatform::HeadlessPlatform(double dt, bool soundDevice, bool recordSound)
    : dt_(dt), frequency_(1.0 / dt), wave_(!soundDevice, recordSound) {}

void HeadlessPlatform::setJitter(double fraction, uint64_t seed) {
  jitter_ = fraction;
  random_.seed(seed);
  frequency_ = 1e9;
  followed_ = [this] { return static_cast<double>(lastRead_) / frequency_; };
}

bool HeadlessPlatform::createContext() {
  gl_ = std::make_unique<OffscreenGl>(kWindowWidth, kWindowHeight);
  if (!gl_->valid()) {
    std::fprintf(stderr, "Error: cannot create an offscreen OpenGL context\n");
    return false;
  }
  return true;
}

bool HeadlessPlatform::pumpOneMessage(std::vector<WindowMessage>& taken) {
  // Default handling of anything else changes nothing here.
  return queue_.takeStep(taken);
}

void HeadlessPlatform::showFrame() {
  ++presents_;
  // The sound device plays the frame's worth of virtual time, and the mixer
  // catches up before the game goes on.
  if (jitter_ > 0.0) {
    // 53 random bits as a fraction in [0, 1), the same on every system.
    const double unit = static_cast<double>(random_() >> 11) * 0x1.0p-53;
    ticks_ += std::llround(dt_ * (1.0 + jitter_ * (2.0 * unit - 1.0)) * frequency_);
  }
  if (followed_) {
    const double now = followed_();
    wave_.advance(now - seconds_);
    seconds_ = now;
  } else {
    ticks_ = presents_;
    seconds_ = static_cast<double>(presents_) * dt_;
    wave_.advance(dt_);
  }
}

}  // namespace zt
