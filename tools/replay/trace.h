#pragma once

#include <cstdint>
#include <string>

namespace zt {

class Game;

// One line of the runner's trace (a JSON object, no line end): what a frame
// left of the game, `t` being the virtual clock. Floats are printed so that
// they read back to the same 32-bit value.
std::string traceLine(uint64_t frame, double t, const Game& game);

}  // namespace zt
