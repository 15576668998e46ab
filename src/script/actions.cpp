#include "script/actions.h"

#include <utility>

#include "audio/speaker.h"
#include "core/image.h"
#include "scene/game_object.h"
#include "script/schedule.h"

namespace zt {

MultiAction::MultiAction(IdCounter& ids) : Action(ids, nullptr) {}

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

ConditionalAction::ConditionalAction(IdCounter& ids, void* argument, Predicate predicate,
                                     Action* action)
    : Action(ids, argument), predicate(predicate), action(action) {}

int32_t ConditionalAction::execute() {
  if (!predicate || !predicate(target)) return -1;
  // A watcher without a reaction has nothing to hand back.
  if (!action) return -1;
  return action->execute();
}

FunctionAction::FunctionAction(IdCounter& ids, void* argument, Callback callback)
    : Action(ids, argument), callback(callback) {}

int32_t FunctionAction::execute() {
  if (!callback) return -1;
  return callback(target);
}

ActionAddition::ActionAddition(IdCounter& ids, GameObject* target, Action* action)
    : Action(ids, target), action(action) {}

int32_t ActionAddition::execute() {
  if (!target || !action) return -1;
  static_cast<GameObject*>(target)->addAction(action);
  return 0;
}

ActionRemoval::ActionRemoval(IdCounter& ids, GameObject* target, Action* action)
    : Action(ids, target), action(action) {}

int32_t ActionRemoval::execute() {
  if (!target || !action) return -1;
  static_cast<GameObject*>(target)->removeAction(action);
  return 0;
}

ScreenPositionShift::ScreenPositionShift(IdCounter& ids, DrawingObject* target, int32_t dx,
                                         int32_t dy)
    : Action(ids, target), dx(dx), dy(dy) {}

int32_t ScreenPositionShift::execute() {
  if (!target) return -1;
  auto* object = static_cast<DrawingObject*>(target);
  object->x += dx;
  object->y += dy;
  return 0;
}

SpriteChange::SpriteChange(IdCounter& ids, SpriteObject* target, Image* image)
    : Action(ids, target), image(image) {}

int32_t SpriteChange::execute() {
  if (!target) return -1;
  static_cast<SpriteObject*>(target)->setImage(image);
  return 0;
}

SpriteColorSwap::SpriteColorSwap(IdCounter& ids, Image* target, const Color* fromColors,
                                 const Color* toColors, int32_t count)
    : Action(ids, target), fromColors(fromColors), toColors(toColors), count(count) {}

int32_t SpriteColorSwap::execute() {
  if (!target) return -1;
  // Without both lists there is nothing to compare against or write.
  if (count > 0 && (!fromColors || !toColors)) return -1;
  swapColors(static_cast<Image*>(target), fromColors, toColors, count);
  return 0;
}

TextChange::TextChange(IdCounter& ids, TextObject* target, std::string text)
    : Action(ids, target), text(std::move(text)) {}

int32_t TextChange::execute() {
  if (!target) return -1;
  static_cast<TextObject*>(target)->setText(text);
  return 0;
}

PcmSoundPlayback::PcmSoundPlayback(IdCounter& ids, void* target, SpeakerInterface* speaker,
                                   SoundClip* clip, bool loop)
    : Action(ids, target), speaker(speaker), clip(clip), loop(loop) {}

int32_t PcmSoundPlayback::execute() {
  if (!target || !clip || !speaker) return -1;
  speaker->playSound(clip, loop);
  return 0;
}

ScheduleTimeAdjustment::ScheduleTimeAdjustment(IdCounter& ids, Schedule* target, float time)
    : Action(ids, target), time(time) {}

int32_t ScheduleTimeAdjustment::execute() {
  if (!target) return -1;
  auto* schedule = static_cast<Schedule*>(target);
  schedule->clock = time;
  schedule->seek();
  return 0;
}

ScheduleReplacement::ScheduleReplacement(IdCounter& ids, GameObject* target, Schedule* schedule)
    : Action(ids, target), schedule(schedule) {}

int32_t ScheduleReplacement::execute() {
  if (!target) return -1;
  static_cast<GameObject*>(target)->setSchedule(schedule);
  return 0;
}

}  // namespace zt
