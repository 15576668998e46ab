#pragma once

#include <cstdint>

#include "core/id_counter.h"

namespace zt {

// A small command object: when executed it does one thing to the scene, a
// schedule, the sound or the game's state. Scene objects keep lists of them
// and tell them apart by id. The kinds are in script/actions.h.
class Action {
 public:
  Action(IdCounter& ids, void* target) : target(target), id(ids.take()) {}
  virtual ~Action() = default;
  // 0 when it did its work, -1 when it did nothing (or, for the kinds that
  // delegate, whatever they delegated to returned).
  virtual int32_t execute() = 0;

  void* target;
  int32_t id;
};

}  // namespace zt
