#pragma once

#include "script/action.h"

namespace zt {

struct ScheduleEntry {
  ScheduleEntry(Action* action, float time) : action(action), time(time) {}

  Action* action;
  float time;
  ScheduleEntry* previous = nullptr;
  ScheduleEntry* next = nullptr;
};

// A timeline of timed actions. Advancing the clock runs, once and in time
// order, every entry the clock has just passed (strictly).
class Schedule {
 public:
  void insert(ScheduleEntry* entry);
  void advance(float seconds);
  // Places the cursor on the entry nearest the clock.
  void seek();

  // Convenience for building: a new entry for action at time, inserted.
  void insert(Action* action, float time) { insert(new ScheduleEntry(action, time)); }

  float clock = 0.0f;
  ScheduleEntry* first = nullptr;
  ScheduleEntry* cursor = nullptr;
};

}  // namespace zt
