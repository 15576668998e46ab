#pragma once

#include <cstdint>
#include <string>

namespace zt {

class Platform;

// State of the loop (main thread only).
extern float frameSeconds;
extern bool quitRequested;
extern double counterFrequency;
extern int64_t previousCount;

// frameSeconds = time since the last measure or restart.
void measureFrame(Platform& platform);
// The next measured frame starts now.
void restartClock(Platform& platform);

struct GameOptions {
  // Prefix of the "resources/..." paths (the runner's --resources).
  std::string resourceBase;
};

// Start-up steps 4 to 11 (the backend has made the window and its GL
// context), the frame loop and the teardown. Returns the exit status.
int32_t runGame(Platform& platform, const GameOptions& options);

// Frames completed since runGame started (the runner's trace).
uint64_t framesRun();

}  // namespace zt
