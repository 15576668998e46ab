#include "script/action.h"

#include <utility>

#include "audio/speaker.h"
#include "scene/game_object.h"
#include "scene/image.h"
#include "script/schedule.h"

namespace zt {

int32_t nextActionId = 0;

Action::Action(void* target) : target(target), id(nextActionId++) {}

MultiAction::MultiAction() : Action(nullptr) {}

void MultiAction::add(Action* action) {
  actions.push_back(action);
}

int32_t MultiAction::execute() {
  // Indexed, not iterated: a member may add to this very sequence.
  for (size_t i = 0; i < actions.size(); ++i) {
    if (actions[i]) actions[i]->execute();
  }
  return 0;
}

ConditionalAction::ConditionalAction(void* argument, Predicate predicate, Action* action)
    : Action(argument), predicate(predicate), action(action) {}

int32_t ConditionalAction::execute() {
  if (!predicate || !predicate(target)) return -1;
  // A watcher without a reaction has nothing to hand back.
  if (!action) return -1;
  return action->execute();
}

FunctionAction::FunctionAction(void* argument, Callback callback)
    : Action(argument), callback(callback) {}

int32_t FunctionAction::execute() {
  if (!callback) return -1;
  return callback(target);
}

ActionAddition::ActionAddition(GameObject* target, Action* action)
    : Action(target), action(action) {}

int32_t ActionAddition::execute() {
  if (!target || !action) return -1;
  static_cast<GameObject*>(target)->addAction(action);
  return 0;
}

ActionRemoval::ActionRemoval(GameObject* target, Action* action) : Action(target), action(action) {}

int32_t ActionRemoval::execute() {
  if (!target || !action) return -1;
  static_cast<GameObject*>(target)->removeAction(action);
  return 0;
}

ScreenPositionShift::ScreenPositionShift(DrawingObject* target, int32_t dx, int32_t dy)
    : Action(target), dx(dx), dy(dy) {}

int32_t ScreenPositionShift::execute() {
  if (!target) return -1;
  auto* object = static_cast<DrawingObject*>(target);
  object->x += dx;
  object->y += dy;
  return 0;
}

SpriteChange::SpriteChange(SpriteObject* target, Image* image) : Action(target), image(image) {}

int32_t SpriteChange::execute() {
  if (!target) return -1;
  static_cast<SpriteObject*>(target)->setImage(image);
  return 0;
}

SpriteColorSwap::SpriteColorSwap(Image* target, const Color* fromColors, const Color* toColors,
                                 int32_t count)
    : Action(target), fromColors(fromColors), toColors(toColors), count(count) {}

int32_t SpriteColorSwap::execute() {
  if (!target) return -1;
  // Without both lists there is nothing to compare against or write.
  if (count > 0 && (!fromColors || !toColors)) return -1;
  swapColors(static_cast<Image*>(target), fromColors, toColors, count);
  return 0;
}

TextChange::TextChange(TextObject* target, std::string text)
    : Action(target), text(std::move(text)) {}

int32_t TextChange::execute() {
  if (!target) return -1;
  static_cast<TextObject*>(target)->setText(text);
  return 0;
}

PcmSoundPlayback::PcmSoundPlayback(void* target, SoundClip* clip, bool loop)
    : Action(target), clip(clip), loop(loop) {}

int32_t PcmSoundPlayback::execute() {
  if (!target || !clip) return -1;
  playSound(clip, loop);
  return 0;
}

ScheduleTimeAdjustment::ScheduleTimeAdjustment(Schedule* target, float time)
    : Action(target), time(time) {}

int32_t ScheduleTimeAdjustment::execute() {
  if (!target) return -1;
  auto* schedule = static_cast<Schedule*>(target);
  schedule->clock = time;
  schedule->seek();
  return 0;
}

ScheduleReplacement::ScheduleReplacement(GameObject* target, Schedule* schedule)
    : Action(target), schedule(schedule) {}

int32_t ScheduleReplacement::execute() {
  if (!target) return -1;
  static_cast<GameObject*>(target)->setSchedule(schedule);
  return 0;
}

}  // namespace zt
