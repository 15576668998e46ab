#pragma once

#include <cstdint>

#include "app/game.h"

namespace zt {

class Platform;
class Renderer;

// Watches the frame loop from outside the game (the headless runner: its
// scripted keys, its trace and screenshots).
class FrameObserver {
 public:
  virtual ~FrameObserver() = default;
  // Before frame `frame` (counted from 0) starts.
  virtual void beforeFrame(uint64_t frame, const Game& game) {
    (void)frame;
    (void)game;
  }
  // After the frame and its message step. False ends the loop as a closed
  // window would.
  virtual bool afterFrame(uint64_t frame, const Game& game) = 0;
};

// Start-up once the backend has made the window, its OpenGL context and the
// display; the frame loop; and the teardown, which stops the mixer thread
// and waits for it on every way out.
GameEnd runGame(Platform& platform, Renderer& display, const GameOptions& options,
                FrameObserver* observer = nullptr);

}  // namespace zt
