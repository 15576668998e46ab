#include "script/schedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/store.h"
#include "recorder.h"
#include "script/actions.h"

namespace zt {
namespace {

using test::Recorder;
using Log = std::vector<std::string>;

class ScheduleTest : public ::testing::Test {
 protected:
  Action* note(const std::string& name) { return store.make<Recorder>(ids, &log, name); }
  // Runs one advance and returns what it ran.
  Log advance(Schedule& schedule, float seconds) {
    log.clear();
    schedule.advance(seconds);
    return log;
  }
  Log log;
  Store store;
  IdCounter ids;
};

TEST_F(ScheduleTest, EntriesRunOnceWhenTheClockIsStrictlyPastThem) {
  Schedule schedule;
  schedule.insert(note("a"), 0.0f);
  schedule.insert(note("b"), 0.2f);
  schedule.insert(note("c"), 0.4f);
  ASSERT_EQ(schedule.first->time, 0.0f);
  EXPECT_EQ(schedule.cursor, schedule.first);
  EXPECT_EQ(schedule.first->next->next->time, 0.4f);

  EXPECT_EQ(advance(schedule, 0.1f), Log{"a"});
  EXPECT_EQ(advance(schedule, 0.1f), Log{});  // 0.2 is not past 0.2
  EXPECT_EQ(advance(schedule, 0.0f), Log{});
  EXPECT_EQ(advance(schedule, 0.05f), Log{"b"});

  Schedule longFrame;
  longFrame.insert(note("a"), 0.0f);
  longFrame.insert(note("b"), 0.2f);
  longFrame.insert(note("c"), 0.4f);
  EXPECT_EQ(advance(longFrame, 1.0f), (Log{"a", "b", "c"}));
  EXPECT_EQ(longFrame.clock, 1.0f);
}

TEST_F(ScheduleTest, ARewindAsLastEntryLoopsFromItsTime) {
  Schedule walk;
  walk.insert(note("d2"), 0.0f);
  walk.insert(note("d1"), 0.2f);
  walk.insert(store.make<ScheduleTimeAdjustment>(ids, &walk, 0.0f), 0.4f);
  EXPECT_EQ(advance(walk, 0.5f), (Log{"d2", "d1"}));
  EXPECT_EQ(walk.clock, 0.0f);  // the rest of the frame is dropped
  EXPECT_EQ(walk.cursor, nullptr);
  EXPECT_EQ(advance(walk, 0.1f), Log{"d2"});
  EXPECT_EQ(advance(walk, 0.35f), Log{"d1"});

  Schedule laugh;
  laugh.insert(note("d1"), 0.0f);
  laugh.insert(note("t1"), 1.5f);
  laugh.insert(note("t2"), 3.0f);
  laugh.insert(note("t1"), 3.2f);
  laugh.insert(store.make<ScheduleTimeAdjustment>(ids, &laugh, 3.0f), 3.4f);
  EXPECT_EQ(advance(laugh, 3.5f), (Log{"d1", "t1", "t2", "t1"}));
  EXPECT_EQ(laugh.clock, 3.0f);
  Log later;
  for (int i = 0; i < 35; ++i) {
    Log ran = advance(laugh, 0.0625f);
    later.insert(later.end(), ran.begin(), ran.end());
  }
  // Each round takes seven steps (the rewind drops the overshoot): five
  // rounds, and never again the entries before 3.0.
  EXPECT_EQ(later, (Log{"t2", "t1", "t2", "t1", "t2", "t1", "t2", "t1", "t2", "t1"}));
}

TEST_F(ScheduleTest, InsertionKeepsTimeOrderAndPutsEqualsInFront) {
  Schedule schedule;
  schedule.insert(note("late"), 1.0f);
  schedule.insert(note("early"), 0.5f);
  schedule.insert(note("first of equals"), 1.0f);
  schedule.insert(note("last"), 2.0f);
  EXPECT_EQ(schedule.first->time, 0.5f);
  EXPECT_EQ(schedule.first->previous, nullptr);
  EXPECT_EQ(advance(schedule, 3.0f), (Log{"early", "first of equals", "late", "last"}));
  // The backward links agree with the forward ones.
  ScheduleEntry* last = schedule.first;
  while (last->next) {
    EXPECT_EQ(last->next->previous, last);
    last = last->next;
  }
  EXPECT_EQ(last->time, 2.0f);
}

TEST_F(ScheduleTest, AnEntryInsertedJustBeforeTheCursorIsNotSkipped) {
  Schedule schedule;
  schedule.insert(note("a"), 0.0f);
  schedule.insert(note("b"), 1.0f);
  schedule.insert(note("c"), 2.0f);
  EXPECT_EQ(advance(schedule, 1.5f), (Log{"a", "b"}));
  schedule.insert(note("new"), 1.75f);
  EXPECT_EQ(advance(schedule, 0.5f), Log{"new"});
  EXPECT_EQ(advance(schedule, 0.25f), Log{"c"});
}

TEST_F(ScheduleTest, SeekPicksTheNearerEntryAndBreaksTiesByDirection) {
  Schedule schedule;
  ScheduleEntry* zero = new ScheduleEntry(note("0"), 0.0f);
  ScheduleEntry* one = new ScheduleEntry(note("1"), 1.0f);
  ScheduleEntry* two = new ScheduleEntry(note("2"), 2.0f);
  schedule.insert(zero);
  schedule.insert(one);
  schedule.insert(two);

  auto seekFrom = [&](ScheduleEntry* cursor, float clock) {
    schedule.cursor = cursor;
    schedule.clock = clock;
    schedule.seek();
    return schedule.cursor;
  };
  EXPECT_EQ(seekFrom(zero, 0.7f), one);
  EXPECT_EQ(seekFrom(zero, 0.3f), zero);
  EXPECT_EQ(seekFrom(zero, 0.5f), zero);  // forward tie: the earlier
  EXPECT_EQ(seekFrom(nullptr, 1.5f), one);
  EXPECT_EQ(seekFrom(two, 1.5f), two);  // backward tie: the later
  EXPECT_EQ(seekFrom(two, 1.2f), one);
  EXPECT_EQ(seekFrom(two, 0.0f), zero);
  EXPECT_EQ(seekFrom(zero, 1.0f), one);  // exactly on an entry
  EXPECT_EQ(seekFrom(two, 1.0f), one);
  EXPECT_EQ(seekFrom(zero, 9.0f), two);

  // Landing on the earlier entry runs it again although its time has passed.
  seekFrom(zero, 0.3f);
  EXPECT_EQ(advance(schedule, 0.1f), Log{"0"});
}

TEST_F(ScheduleTest, AScheduleLeftPastItsLastEntryRerunsItEveryAdvance) {
  Schedule schedule;
  schedule.insert(note("a"), 0.0f);
  schedule.insert(note("b"), 0.5f);
  EXPECT_EQ(advance(schedule, 1.0f), (Log{"a", "b"}));
  EXPECT_EQ(schedule.cursor, nullptr);
  EXPECT_EQ(advance(schedule, 0.1f), Log{"b"});
  EXPECT_EQ(advance(schedule, 0.1f), Log{"b"});
}

TEST_F(ScheduleTest, AnEmptyScheduleStaysEmptyAndQuiet) {
  Schedule schedule;
  schedule.advance(1.0f);
  EXPECT_EQ(schedule.clock, 1.0f);
  ScheduleTimeAdjustment rewind(ids, &schedule, 0.0f);
  EXPECT_EQ(rewind.execute(), 0);
  EXPECT_EQ(schedule.cursor, nullptr);
  schedule.insert(nullptr);
  EXPECT_EQ(schedule.first, nullptr);
}

}  // namespace
}  // namespace zt
