#pragma once

#include <memory>
#include <vector>

#include "scene/action.h"

namespace zt {

struct ScheduleEntry {
  ScheduleEntry(Action* action, float time) : action(action), time(time) {}

  Action* action;  // not owned
  float time;
  ScheduleEntry* previous = nullptr;
  ScheduleEntry* next = nullptr;
};

// A timeline of timed actions. Advancing the clock runs, once and in time
// order, every entry the clock has just passed (strictly).
class Schedule {
 public:
  Schedule() = default;
  Schedule(const Schedule&) = delete;
  Schedule& operator=(const Schedule&) = delete;

  // Links the entry in by time; the schedule owns it from now on. Null
  // does nothing.
  void insert(ScheduleEntry* entry);
  void advance(float seconds);
  // Places the cursor on the entry nearest the clock.
  void seek();

  // Convenience for building: a new entry for action at time, inserted.
  void insert(Action* action, float time) { insert(new ScheduleEntry(action, time)); }

  float clock = 0.0f;
  ScheduleEntry* first = nullptr;
  ScheduleEntry* cursor = nullptr;

 private:
  std::vector<std::unique_ptr<ScheduleEntry>> entries_;
};

}  // namespace zt
