#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/speaker.h"
#include "core/image.h"
#include "core/store.h"
#include "recorder.h"
#include "scene/game_object.h"
#include "script/actions.h"
#include "script/schedule.h"

namespace zt {
namespace {

using test::Recorder;
using Log = std::vector<std::string>;

// What the tests make and the counters they make it with.
Store store;
IdCounter ids;
IdCounter objectIds;
IdCounter imageIds;

bool yes(const int32_t*) {
  return true;
}
bool no(const int32_t*) {
  return false;
}
// What its argument holds, 7 for none.
int32_t valueOf(int32_t* value) {
  return value ? *value : 7;
}

// A picture whose pixels are the given colours in one row.
std::unique_ptr<Image> row(std::vector<Color> colors) {
  return std::make_unique<Image>(imageIds, static_cast<uint32_t>(colors.size()), 1,
                                 reinterpret_cast<const uint8_t*>(colors.data()));
}

Color pixel(const Image& image, size_t i) {
  const uint8_t* p = image.pixels.get() + 4 * i;
  return Color{p[0], p[1], p[2], p[3]};
}

TEST(ActionTest, SequencesAndConditionsPassResultsAsDesigned) {
  Log log;
  MultiAction empty{ids};
  EXPECT_EQ(empty.execute(), 0);

  // A failing member does not stop the ones after it.
  MultiAction sequence{ids};
  sequence.add(store.make<Recorder>(ids, &log, "first", -1));
  sequence.add(store.make<FunctionAction<int32_t>>(ids, nullptr, nullptr));
  sequence.add(store.make<Recorder>(ids, &log, "last", -1));
  EXPECT_EQ(sequence.execute(), 0);
  EXPECT_EQ(log, (Log{"first", "last"}));

  log.clear();
  Recorder inner(ids, &log, "inner", 5);
  using Condition = ConditionalAction<const int32_t>;
  EXPECT_EQ(Condition(ids, nullptr, no, &inner).execute(), -1);
  EXPECT_EQ(Condition(ids, nullptr, nullptr, &inner).execute(), -1);
  EXPECT_TRUE(log.empty());
  // A null argument is the predicate's to judge.
  EXPECT_EQ(Condition(ids, nullptr, yes, &inner).execute(), 5);
  EXPECT_EQ(Condition(ids, nullptr, yes, &sequence).execute(), 0);
  Condition falseInner(ids, nullptr, no, &inner);
  EXPECT_EQ(Condition(ids, nullptr, yes, &falseInner).execute(), -1);
  EXPECT_EQ(Condition(ids, nullptr, yes, nullptr).execute(), -1);

  int32_t value = 3;
  FunctionAction<int32_t> read(ids, &value, valueOf);
  EXPECT_EQ(read.execute(), 3);
  value = 4;  // read when run, not when made
  EXPECT_EQ(read.execute(), 4);
  EXPECT_EQ(FunctionAction<int32_t>(ids, nullptr, valueOf).execute(), 7);
  EXPECT_EQ(FunctionAction<int32_t>(ids, &value, nullptr).execute(), -1);
}

TEST(ActionTest, ListAndScheduleChangesOnAnObject) {
  SpriteObject sprite(objectIds, nullptr, nullptr);
  Log log;
  Recorder watcher(ids, &log, "watcher");
  Recorder other(ids, &log, "other");
  ActionAddition addWatcher(ids, &sprite, &watcher);
  EXPECT_EQ(addWatcher.execute(), 0);
  EXPECT_EQ(addWatcher.execute(), 0);
  EXPECT_EQ(ActionAddition(ids, &sprite, &other).execute(), 0);
  EXPECT_EQ(sprite.getActions(), (std::vector<Action*>{&watcher, &other}));
  EXPECT_EQ(ActionRemoval(ids, &sprite, &watcher).execute(), 0);
  EXPECT_EQ(sprite.getActions(), (std::vector<Action*>{&other}));
  EXPECT_EQ(ActionAddition(ids, nullptr, &watcher).execute(), -1);
  EXPECT_EQ(ActionRemoval(ids, &sprite, nullptr).execute(), -1);

  Schedule schedule;
  EXPECT_EQ(ScheduleReplacement(ids, &sprite, &schedule).execute(), 0);
  EXPECT_EQ(sprite.getSchedule(), &schedule);
  EXPECT_EQ(ScheduleReplacement(ids, &sprite, nullptr).execute(), 0);
  EXPECT_EQ(sprite.getSchedule(), nullptr);
}

TEST(ActionTest, ColorSwapFollowsReaimedColourPointers) {
  std::unique_ptr<Image> holder = row({kBlack, kWhite});
  Image* image = holder.get();
  const Color first[2] = {kBlack, kWhite};
  const Color second[2] = {kTeal, kBlack};
  SpriteColorSwap swap(ids, image, first, second, 2);
  EXPECT_EQ(swap.execute(), 0);
  EXPECT_EQ(pixel(*image, 0), kTeal);
  EXPECT_EQ(pixel(*image, 1), kBlack);

  // Aimed back the other way: the arrays are read at execution, not copied.
  swap.fromColors = second;
  swap.toColors = first;
  EXPECT_EQ(swap.execute(), 0);
  EXPECT_EQ(pixel(*image, 0), kBlack);
  EXPECT_EQ(pixel(*image, 1), kWhite);

  EXPECT_EQ(SpriteColorSwap(ids, nullptr, first, second, 2).execute(), -1);
  EXPECT_EQ(SpriteColorSwap(ids, image, nullptr, second, 2).execute(), -1);
  EXPECT_EQ(pixel(*image, 0), kBlack);
}

TEST(ActionTest, ShiftsPicturesAndTexts) {
  SpriteObject background(objectIds, nullptr, nullptr);
  background.y = 3;
  ScreenPositionShift up(ids, &background, 0, -1);
  for (int i = 0; i < 449; ++i) up.execute();
  EXPECT_EQ(background.y, 3 - 449);
  EXPECT_EQ(ScreenPositionShift(ids, &background, 0, 449).execute(), 0);
  EXPECT_EQ(background.y, 3);
  EXPECT_EQ(background.x, 0);

  Image picture(imageIds, 1, 1, nullptr);
  SpriteObject sprite(objectIds, nullptr, &picture);
  EXPECT_EQ(SpriteChange(ids, &sprite, nullptr).execute(), 0);
  EXPECT_EQ(sprite.getImage(), nullptr);
  EXPECT_EQ(SpriteChange(ids, &sprite, &picture).execute(), 0);
  EXPECT_EQ(sprite.getImage(), &picture);

  TextObject text(objectIds, "", nullptr, nullptr);
  TextChange change(ids, &text, "Half & Half");
  EXPECT_EQ(change.execute(), 0);
  EXPECT_EQ(text.text, "Half & Half");
  change.text = "Farewell!";
  EXPECT_EQ(change.execute(), 0);
  EXPECT_EQ(text.text, "Farewell!");
  EXPECT_EQ(TextChange(ids, nullptr, "x").execute(), -1);
}

TEST(ActionTest, MissingTargetsDoNothing) {
  EXPECT_EQ(ScreenPositionShift(ids, nullptr, 1, 1).execute(), -1);
  EXPECT_EQ(ScheduleTimeAdjustment(ids, nullptr, 1.0f).execute(), -1);
  EXPECT_EQ(ScheduleReplacement(ids, nullptr, nullptr).execute(), -1);
  EXPECT_EQ(SpriteChange(ids, nullptr, nullptr).execute(), -1);

  SpeakerInterface speaker;
  SoundClip clip;
  SpriteObject anything(objectIds, nullptr, nullptr);
  EXPECT_EQ(PcmSoundPlayback(ids, nullptr, &speaker, &clip, false).execute(), -1);
  EXPECT_EQ(PcmSoundPlayback(ids, &anything, &speaker, nullptr, false).execute(), -1);
  EXPECT_EQ(PcmSoundPlayback(ids, &anything, nullptr, &clip, false).execute(), -1);
  EXPECT_EQ(speaker.playingSoundCount(), 0u);
  // With all three it asks the speaker to play the clip, once or looping.
  EXPECT_EQ(PcmSoundPlayback(ids, &anything, &speaker, &clip, true).execute(), 0);
  ASSERT_EQ(speaker.inspect().playingSounds.size(), 1u);
  EXPECT_EQ(speaker.inspect().playingSounds[0].clip, &clip);
  EXPECT_TRUE(speaker.inspect().playingSounds[0].loop);
}

TEST(ActionTest, TimeAdjustmentSetsTheClockAndSeeks) {
  Log log;
  Schedule schedule;
  schedule.insert(store.make<Recorder>(ids, &log, "a"), 0.0f);
  schedule.insert(store.make<Recorder>(ids, &log, "b"), 3.0f);
  schedule.advance(1.0f);
  EXPECT_EQ(ScheduleTimeAdjustment(ids, &schedule, 3.0f).execute(), 0);
  EXPECT_EQ(schedule.clock, 3.0f);
  EXPECT_EQ(schedule.cursor, schedule.first->next);
  EXPECT_EQ(log, Log{"a"});  // it runs nothing itself
}

}  // namespace
}  // namespace zt
