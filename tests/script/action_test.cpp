#include "script/action.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/speaker.h"
#include "recorder.h"
#include "scene/game_object.h"
#include "scene/image.h"
#include "script/schedule.h"

namespace zt {
namespace {

using testing::Recorder;
using Log = std::vector<std::string>;

bool yes(void*) {
  return true;
}
bool no(void*) {
  return false;
}
int32_t seven(void*) {
  return 7;
}

// A picture whose pixels are the given colours in one row.
std::unique_ptr<Image> row(std::vector<Color> colors) {
  return std::make_unique<Image>(static_cast<uint32_t>(colors.size()), 1,
                                 reinterpret_cast<const uint8_t*>(colors.data()));
}

Color pixel(const Image& image, size_t i) {
  const uint8_t* p = image.pixels.get() + 4 * i;
  return Color{p[0], p[1], p[2], p[3]};
}

TEST(ActionTest, IdsRunOnAcrossAllKinds) {
  SpriteObject sprite(nullptr, nullptr);
  Schedule schedule;
  const int32_t start = nextActionId;
  std::vector<Action*> actions = {
      new MultiAction(),
      new ConditionalAction(nullptr, yes, nullptr),
      new FunctionAction(nullptr, seven),
      new ActionAddition(&sprite, nullptr),
      new ActionRemoval(&sprite, nullptr),
      new ScreenPositionShift(&sprite, 0, 1),
      new SpriteChange(&sprite, nullptr),
      new SpriteColorSwap(nullptr, nullptr, nullptr, 0),
      new TextChange(nullptr, "x"),
      new PcmSoundPlayback(nullptr, nullptr, false),
      new ScheduleTimeAdjustment(&schedule, 0.0f),
      new ScheduleReplacement(&sprite, nullptr),
  };
  for (size_t i = 0; i < actions.size(); ++i) {
    EXPECT_EQ(actions[i]->id, start + static_cast<int32_t>(i));
  }
  EXPECT_EQ(nextActionId, start + 12);
}

TEST(ActionTest, SequencesAndConditionsPassResultsAsDesigned) {
  Log log;
  MultiAction empty;
  EXPECT_EQ(empty.execute(), 0);

  // A failing member does not stop the ones after it.
  MultiAction sequence;
  sequence.add(new Recorder(&log, "first", -1));
  sequence.add(new FunctionAction(nullptr, nullptr));
  sequence.add(new Recorder(&log, "last", -1));
  EXPECT_EQ(sequence.execute(), 0);
  EXPECT_EQ(log, (Log{"first", "last"}));

  log.clear();
  Recorder inner(&log, "inner", 5);
  EXPECT_EQ(ConditionalAction(nullptr, no, &inner).execute(), -1);
  EXPECT_EQ(ConditionalAction(nullptr, nullptr, &inner).execute(), -1);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(ConditionalAction(nullptr, yes, &inner).execute(), 5);
  EXPECT_EQ(ConditionalAction(nullptr, yes, &sequence).execute(), 0);
  ConditionalAction falseInner(nullptr, no, &inner);
  EXPECT_EQ(ConditionalAction(nullptr, yes, &falseInner).execute(), -1);
  EXPECT_EQ(ConditionalAction(nullptr, yes, nullptr).execute(), -1);

  EXPECT_EQ(FunctionAction(nullptr, seven).execute(), 7);
  EXPECT_EQ(FunctionAction(nullptr, nullptr).execute(), -1);
}

TEST(ActionTest, ListAndScheduleChangesOnAnObject) {
  SpriteObject sprite(nullptr, nullptr);
  Log log;
  Recorder watcher(&log, "watcher");
  Recorder other(&log, "other");
  ActionAddition addWatcher(&sprite, &watcher);
  EXPECT_EQ(addWatcher.execute(), 0);
  EXPECT_EQ(addWatcher.execute(), 0);
  EXPECT_EQ(ActionAddition(&sprite, &other).execute(), 0);
  EXPECT_EQ(sprite.getActions(), (std::vector<Action*>{&watcher, &other}));
  EXPECT_EQ(ActionRemoval(&sprite, &watcher).execute(), 0);
  EXPECT_EQ(sprite.getActions(), (std::vector<Action*>{&other}));
  EXPECT_EQ(ActionAddition(nullptr, &watcher).execute(), -1);
  EXPECT_EQ(ActionRemoval(&sprite, nullptr).execute(), -1);

  Schedule schedule;
  EXPECT_EQ(ScheduleReplacement(&sprite, &schedule).execute(), 0);
  EXPECT_EQ(sprite.getSchedule(), &schedule);
  EXPECT_EQ(ScheduleReplacement(&sprite, nullptr).execute(), 0);
  EXPECT_EQ(sprite.getSchedule(), nullptr);
}

TEST(ActionTest, ColorSwapFollowsReaimedColourPointers) {
  std::unique_ptr<Image> holder = row({kBlack, kWhite});
  Image* image = holder.get();
  const Color first[2] = {kBlack, kWhite};
  const Color second[2] = {kTeal, kBlack};
  SpriteColorSwap swap(image, first, second, 2);
  EXPECT_EQ(swap.execute(), 0);
  EXPECT_EQ(pixel(*image, 0), kTeal);
  EXPECT_EQ(pixel(*image, 1), kBlack);

  // Aimed back the other way: the arrays are read at execution, not copied.
  swap.fromColors = second;
  swap.toColors = first;
  EXPECT_EQ(swap.execute(), 0);
  EXPECT_EQ(pixel(*image, 0), kBlack);
  EXPECT_EQ(pixel(*image, 1), kWhite);

  EXPECT_EQ(SpriteColorSwap(nullptr, first, second, 2).execute(), -1);
  EXPECT_EQ(SpriteColorSwap(image, nullptr, second, 2).execute(), -1);
  EXPECT_EQ(pixel(*image, 0), kBlack);
}

TEST(ActionTest, ShiftsPicturesAndTexts) {
  SpriteObject background(nullptr, nullptr);
  background.y = 3;
  ScreenPositionShift up(&background, 0, -1);
  for (int i = 0; i < 449; ++i) up.execute();
  EXPECT_EQ(background.y, 3 - 449);
  EXPECT_EQ(ScreenPositionShift(&background, 0, 449).execute(), 0);
  EXPECT_EQ(background.y, 3);
  EXPECT_EQ(background.x, 0);

  Image picture(1, 1, nullptr);
  SpriteObject sprite(nullptr, &picture);
  EXPECT_EQ(SpriteChange(&sprite, nullptr).execute(), 0);
  EXPECT_EQ(sprite.getImage(), nullptr);
  EXPECT_EQ(SpriteChange(&sprite, &picture).execute(), 0);
  EXPECT_EQ(sprite.getImage(), &picture);

  TextObject text("", nullptr, nullptr);
  TextChange change(&text, "Half & Half");
  EXPECT_EQ(change.execute(), 0);
  EXPECT_EQ(text.text, "Half & Half");
  change.text = "Farewell!";
  EXPECT_EQ(change.execute(), 0);
  EXPECT_EQ(text.text, "Farewell!");
  EXPECT_EQ(TextChange(nullptr, "x").execute(), -1);
}

TEST(ActionTest, MissingTargetsDoNothing) {
  EXPECT_EQ(ScreenPositionShift(nullptr, 1, 1).execute(), -1);
  EXPECT_EQ(ScheduleTimeAdjustment(nullptr, 1.0f).execute(), -1);
  EXPECT_EQ(ScheduleReplacement(nullptr, nullptr).execute(), -1);
  EXPECT_EQ(SpriteChange(nullptr, nullptr).execute(), -1);

  SoundClip clip;
  int anything = 0;
  const uint32_t before = playingSoundCount();
  EXPECT_EQ(PcmSoundPlayback(nullptr, &clip, false).execute(), -1);
  EXPECT_EQ(PcmSoundPlayback(&anything, nullptr, false).execute(), -1);
  EXPECT_EQ(playingSoundCount(), before);
}

TEST(ActionTest, TimeAdjustmentSetsTheClockAndSeeks) {
  Log log;
  Schedule schedule;
  schedule.insert(new Recorder(&log, "a"), 0.0f);
  schedule.insert(new Recorder(&log, "b"), 3.0f);
  schedule.advance(1.0f);
  EXPECT_EQ(ScheduleTimeAdjustment(&schedule, 3.0f).execute(), 0);
  EXPECT_EQ(schedule.clock, 3.0f);
  EXPECT_EQ(schedule.cursor, schedule.first->next);
  EXPECT_EQ(log, Log{"a"});  // it runs nothing itself
}

}  // namespace
}  // namespace zt
