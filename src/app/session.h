#pragma once

#include <cstdint>

#include "app/platform.h"

namespace zt {

// How a game ended.
struct GameEnd {
  int32_t status = 0;   // the process's exit status
  uint64_t frames = 0;  // frames completed (one abandoned on Escape is not)
  int32_t mode = 0;
  uint32_t level = 0;
  int32_t incorrect = 0;
};

// Everything the game takes in from outside itself passes through here when
// a session is attached: the clock, the window messages, whether the sound
// device opened, and the one thing it reads of the mixer. A recorder writes
// it down as it goes; a replay hands back what was recorded instead of what
// the machine says. Each call gets the frame it happens in (counted from 0;
// start-up belongs to frame 0) and what the machine gave, and returns what
// the game is to use.
class Session {
 public:
  virtual ~Session() = default;
  virtual double counterFrequency(uint64_t frame, double live) = 0;
  virtual int64_t counter(uint64_t frame, int64_t live) = 0;
  virtual bool soundOpened(uint64_t frame, bool live) = 0;
  // The number of sounds playing, as the game-over picture waits on it.
  virtual uint32_t playingSounds(uint64_t frame, uint32_t live) = 0;
  // A message the game handled in this frame's message step.
  virtual void message(uint64_t frame, const WindowMessage& message) = 0;
  // Every way the game ends but a crash.
  virtual void end(const GameEnd& end) = 0;
};

// A game nobody records or replays: it uses what the machine gives.
class LiveSession final : public Session {
 public:
  double counterFrequency(uint64_t, double live) override { return live; }
  int64_t counter(uint64_t, int64_t live) override { return live; }
  bool soundOpened(uint64_t, bool live) override { return live; }
  uint32_t playingSounds(uint64_t, uint32_t live) override { return live; }
  void message(uint64_t, const WindowMessage&) override {}
  void end(const GameEnd&) override {}
};

}  // namespace zt
