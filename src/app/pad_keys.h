#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "app/platform.h"

namespace zt {

// The buttons of a game pad the game knows, each standing for a key: the
// south button (A, Cross) for D, the d-pad's right for the right arrow,
// Back / Select for Escape. A pad's held buttons are a mask of them.
enum PadButton : uint8_t { kPadSouth = 1, kPadRight = 2, kPadBack = 4 };

// Turns what pads do into the key messages those keys give, so that the
// game, its key state and its recordings need nothing new. Any number of
// pads: a key goes down when the first pad presses its button and up when
// the last one lets go; a pad that goes away lets go of what it held.
class PadKeys {
 public:
  // `pad` is whatever id the backend keeps for a pad. Each appends the key
  // messages of what changed.
  void set(int32_t pad, PadButton button, bool down, std::vector<WindowMessage>& messages);
  void update(int32_t pad, uint8_t held, std::vector<WindowMessage>& messages);
  void remove(int32_t pad, std::vector<WindowMessage>& messages);

 private:
  bool anyHolds(PadButton button) const;

  std::map<int32_t, uint8_t> pads_;  // the buttons each pad holds
};

}  // namespace zt
