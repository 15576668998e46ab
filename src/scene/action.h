#pragma once

#include <cstdint>

#include "core/id_counter.h"

namespace zt {

// A small command object: when executed it does one thing to the scene, a
// schedule, the sound or the game's state. Scene objects keep lists of them
// and tell them apart by id. The kinds are in script/actions.h.
class Action {
 public:
  explicit Action(IdCounter& ids) : id(ids.take()) {}
  virtual ~Action() = default;
  // 0 when it did its work, -1 when it did nothing (or, for the kinds that
  // delegate, whatever they delegated to returned).
  virtual int32_t execute() = 0;

  int32_t id;
};

// An action that works on one thing of type T. A null target is allowed:
// each kind says what it then does.
template <typename T>
class ActionOn : public Action {
 public:
  using Target = T;
  ActionOn(IdCounter& ids, T* target) : Action(ids), target(target) {}

  T* target;
};

}  // namespace zt
