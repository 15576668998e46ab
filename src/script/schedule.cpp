#include "script/schedule.h"

namespace zt {

void Schedule::insert(ScheduleEntry* entry) {
  if (!entry) return;
  entries_.emplace_back(entry);
  const float t = entry->time;

  if (!first) {
    if (!cursor) {
      entry->previous = nullptr;
      entry->next = nullptr;
      first = entry;
      cursor = entry;
      return;
    }
    ScheduleEntry* head = cursor;
    while (head->previous) head = head->previous;
    first = head;
  }
  if (!cursor) seek();

  ScheduleEntry* current = (clock <= t) ? cursor : first;
  while (current->time < t) {
    if (!current->next) {
      entry->previous = current;
      entry->next = nullptr;
      current->next = entry;
      return;
    }
    current = current->next;
  }

  // Equal times stop the walk too, so the newcomer runs before its equals.
  entry->previous = current->previous;
  entry->next = current;
  if (current->previous) {
    current->previous->next = entry;
  } else {
    first = entry;
  }
  current->previous = entry;

  // An entry slipped in just before the cursor, not yet due, must not be skipped.
  ScheduleEntry* before = cursor->previous;
  if (before && clock <= before->time) cursor = before;
}

void Schedule::advance(float seconds) {
  const float goal = clock + seconds;
  if (!cursor) seek();
  clock = goal;
  while (cursor && goal > cursor->time) {
    ScheduleEntry* due = cursor;
    if (due->action) due->action->execute();
    // Read after the action ran: it may have re-linked or rewound this schedule.
    cursor = due->next;
  }
}

void Schedule::seek() {
  // An empty schedule has nothing to point at.
  if (!first && !cursor) return;
  const float c = clock;

  if (!cursor || c > cursor->time) {
    ScheduleEntry* p = cursor ? cursor : first;
    while (p->next && c > p->time) p = p->next;
    ScheduleEntry* q = p->previous;
    if (!q || c - q->time > p->time - c) {
      cursor = p;
    } else {
      cursor = q;  // a tie goes to the earlier entry
    }
    return;
  }

  ScheduleEntry* p = cursor;
  while (p->previous && c < p->time) p = p->previous;
  ScheduleEntry* q = p->next;
  if (!q || q->time - c > c - p->time) {
    cursor = p;
  } else {
    cursor = q;  // a tie goes to the later entry
  }
}

}  // namespace zt
