#include "platform/headless/headless_platform.h"

#include <cstdio>

#include "core/screen.h"

namespace zt {

HeadlessPlatform::HeadlessPlatform(double dt, bool soundDevice, bool recordSound)
    : dt_(dt), wave_(!soundDevice, recordSound) {}

bool HeadlessPlatform::createContext() {
  gl_ = std::make_unique<OffscreenGl>(kWindowWidth, kWindowHeight);
  if (!gl_->valid()) {
    std::fprintf(stderr, "zummertock-replay: cannot create an offscreen OpenGL context\n");
    return false;
  }
  return true;
}

bool HeadlessPlatform::pumpOneMessage() {
  if (queue_.empty()) return false;
  const WindowMessage message = queue_.front();
  queue_.pop_front();
  // Default handling of anything else changes nothing here.
  deliver(message);
  return true;
}

void HeadlessPlatform::swapBuffers() {
  ++presents_;
  // The sound device plays the frame's worth of virtual time, and the mixer
  // catches up before the game goes on.
  wave_.advance(dt_);
}

}  // namespace zt
