#include <gtest/gtest.h>

#include <vector>

#include "core/image.h"
#include "scene/action.h"
#include "scene/game_object.h"

namespace zt {
namespace {

IdCounter actionIds;
IdCounter objectIds;
IdCounter imageIds;

// Counts its runs and, if told to, removes itself from an object or adds
// another action to it while running.
class ProbeAction : public Action {
 public:
  ProbeAction() : Action(actionIds) {}
  int32_t execute() override {
    ++runs;
    if (removeFrom) removeFrom->removeAction(this);
    if (addTo && toAdd) addTo->addAction(toAdd);
    return 0;
  }

  int runs = 0;
  GameObject* removeFrom = nullptr;
  GameObject* addTo = nullptr;
  Action* toAdd = nullptr;
};

std::vector<int32_t> idsOf(const std::vector<Action*>& actions) {
  std::vector<int32_t> ids;
  for (Action* a : actions) ids.push_back(a->id);
  return ids;
}

TEST(SceneObjects, ActionListKeepsOneEntryPerIdAndItsOrder) {
  SpriteObject sprite(objectIds, nullptr, nullptr);
  ProbeAction a, b, c, stranger;
  sprite.addAction(&a);
  sprite.addAction(&b);
  sprite.addAction(&a);
  sprite.addAction(&c);
  sprite.addAction(nullptr);
  EXPECT_EQ(idsOf(sprite.getActions()), (std::vector<int32_t>{a.id, b.id, c.id}));

  sprite.removeAction(&stranger);
  sprite.removeAction(nullptr);
  EXPECT_EQ(idsOf(sprite.getActions()), (std::vector<int32_t>{a.id, b.id, c.id}));
  sprite.removeAction(&b);
  EXPECT_EQ(idsOf(sprite.getActions()), (std::vector<int32_t>{a.id, c.id}));
  sprite.addAction(&b);
  EXPECT_EQ(idsOf(sprite.getActions()), (std::vector<int32_t>{a.id, c.id, b.id}));
}

TEST(SceneObjects, ChangesMadeWhileRunningACopyShowInTheNextCopy) {
  SpriteObject sprite(objectIds, nullptr, nullptr);
  ProbeAction selfRemoving, late, last;
  selfRemoving.removeFrom = &sprite;
  selfRemoving.addTo = &sprite;
  selfRemoving.toAdd = &late;
  sprite.addAction(&selfRemoving);
  sprite.addAction(&last);

  for (Action* action : sprite.getActions()) action->execute();
  EXPECT_EQ(selfRemoving.runs, 1);
  EXPECT_EQ(last.runs, 1);
  EXPECT_EQ(late.runs, 0);
  EXPECT_EQ(idsOf(sprite.getActions()), (std::vector<int32_t>{last.id, late.id}));
}

TEST(SceneObjects, BothViewsOfTheWorldSpriteShareActionsScheduleAndImage) {
  Image picture(imageIds, 2, 2, nullptr);
  Image other(imageIds, 1, 1, nullptr);
  SpriteRenderObject2D marker(objectIds, nullptr, &picture);
  RenderObject2D& world = marker;
  SpriteObject& sprite = marker;
  GameObject& spriteBase = sprite;
  ProbeAction a, b;
  int scheduleStandIn = 0;
  auto* schedule = reinterpret_cast<Schedule*>(&scheduleStandIn);

  spriteBase.addAction(&a);
  world.addAction(&b);
  spriteBase.addAction(&b);
  spriteBase.setSchedule(schedule);
  EXPECT_EQ(idsOf(world.getActions()), (std::vector<int32_t>{a.id, b.id}));
  EXPECT_EQ(idsOf(spriteBase.getActions()), (std::vector<int32_t>{a.id, b.id}));
  EXPECT_EQ(world.getSchedule(), schedule);
  // The second part's own list and schedule stay unused.
  EXPECT_TRUE(marker.SpriteObject::actions.empty());
  EXPECT_EQ(marker.SpriteObject::schedule, nullptr);

  spriteBase.removeAction(&a);
  EXPECT_EQ(idsOf(world.getActions()), (std::vector<int32_t>{b.id}));
  world.setSchedule(nullptr);
  EXPECT_EQ(spriteBase.getSchedule(), nullptr);

  EXPECT_EQ(sprite.getImage(), &picture);
  sprite.setImage(&other);
  EXPECT_EQ(marker.getImage(), &other);
}

}  // namespace
}  // namespace zt
