#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/platform.h"

namespace zt {

class Game;

// A player that knows the level patterns. Each frame it looks at the game
// as the frame loop left it and says which key message, if any, it would
// send now. It plays from the title screens to the credits and presses
// Escape once "THE END" is shown. Levels listed in `mistakes` get one
// deliberate early release each time they are listed.
class Autoplayer {
 public:
  explicit Autoplayer(std::vector<uint32_t> mistakes = {});

  // dt is the frame time the game runs at; the player looks two frames
  // ahead, since a message sent now is seen by the next frame's judge.
  std::optional<WindowMessage> decide(const Game& game, double dt);

 private:
  std::optional<WindowMessage> setPlayKey(bool down);
  bool wantHeldDuringRun(uint32_t level, double lookahead);

  std::vector<uint32_t> mistakesLeft_;
  bool playKeyDown_ = false;
  bool escapeSent_ = false;
  bool losingThisRun_ = false;
  bool runRequested_ = false;
  int32_t lastMode_ = -1;
  double secondsInMode_ = 0.0;
};

}  // namespace zt
