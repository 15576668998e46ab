#pragma once

#include <cstdint>

namespace zt {

// The running ids of one family of things (scene objects, actions, pictures,
// fonts, sound clips): each new member takes the next number, from 0. Its
// owner makes the family, so ids start again with every game.
class IdCounter {
 public:
  int32_t take() { return next_++; }
  int32_t next() const { return next_; }

 private:
  int32_t next_ = 0;
};

// The counters of what a game makes; clip ids are the speaker's.
struct RunningIds {
  IdCounter gameObjects;
  IdCounter actions;
  IdCounter images;
  IdCounter fonts;
};

}  // namespace zt
