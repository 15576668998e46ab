#pragma once

#include <cstdint>

namespace zt {

// The frame clock: the performance counter's readings turned into seconds.
// The frame loop measures it; the slide after a right guess reads it.
struct LoopClock {
  double counterFrequency = 0.0;  // ticks per second
  int64_t previousCount = 0;      // the reading the last frame time was taken at
  float frameSeconds = 0.0f;      // the last measured frame

  // frameSeconds = the time since the last measure or restart, neither
  // clamped nor smoothed: a long frame moves everything by its whole length.
  float measureFrame(int64_t reading) {
    frameSeconds =
        static_cast<float>(static_cast<double>(reading - previousCount) / counterFrequency);
    previousCount = reading;
    return frameSeconds;
  }
  // The next measured frame starts at this reading.
  void restart(int64_t reading) { previousCount = reading; }
};

}  // namespace zt
