#include "script/actions.h"

#include <utility>

#include "audio/speaker.h"
#include "core/image.h"
#include "scene/game_object.h"
#include "script/schedule.h"

namespace zt {

MultiAction::MultiAction(IdCounter& ids) : Action(ids) {}

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

ActionAddition::ActionAddition(IdCounter& ids, GameObject* target, Action* action)
    : ActionOn(ids, target), action(action) {}

int32_t ActionAddition::execute() {
  if (!target || !action) return -1;
  target->addAction(action);
  return 0;
}

ActionRemoval::ActionRemoval(IdCounter& ids, GameObject* target, Action* action)
    : ActionOn(ids, target), action(action) {}

int32_t ActionRemoval::execute() {
  if (!target || !action) return -1;
  target->removeAction(action);
  return 0;
}

ScreenPositionShift::ScreenPositionShift(IdCounter& ids, DrawingObject* target, int32_t dx,
                                         int32_t dy)
    : ActionOn(ids, target), dx(dx), dy(dy) {}

int32_t ScreenPositionShift::execute() {
  if (!target) return -1;
  target->x += dx;
  target->y += dy;
  return 0;
}

SpriteChange::SpriteChange(IdCounter& ids, SpriteObject* target, Image* image)
    : ActionOn(ids, target), image(image) {}

int32_t SpriteChange::execute() {
  if (!target) return -1;
  target->setImage(image);
  return 0;
}

SpriteColorSwap::SpriteColorSwap(IdCounter& ids, Image* target, const Color* fromColors,
                                 const Color* toColors, int32_t count)
    : ActionOn(ids, target), fromColors(fromColors), toColors(toColors), count(count) {}

int32_t SpriteColorSwap::execute() {
  if (!target) return -1;
  // Without both lists there is nothing to compare against or write.
  if (count > 0 && (!fromColors || !toColors)) return -1;
  swapColors(target, fromColors, toColors, count);
  return 0;
}

TextChange::TextChange(IdCounter& ids, TextObject* target, std::string text)
    : ActionOn(ids, target), text(std::move(text)) {}

int32_t TextChange::execute() {
  if (!target) return -1;
  target->setText(text);
  return 0;
}

PcmSoundPlayback::PcmSoundPlayback(IdCounter& ids, GameObject* target, SpeakerInterface* speaker,
                                   SoundClip* clip, bool loop)
    : ActionOn(ids, target), speaker(speaker), clip(clip), loop(loop) {}

int32_t PcmSoundPlayback::execute() {
  if (!target || !clip || !speaker) return -1;
  speaker->playSound(clip, loop);
  return 0;
}

ScheduleTimeAdjustment::ScheduleTimeAdjustment(IdCounter& ids, Schedule* target, float time)
    : ActionOn(ids, target), time(time) {}

int32_t ScheduleTimeAdjustment::execute() {
  if (!target) return -1;
  target->clock = time;
  target->seek();
  return 0;
}

ScheduleReplacement::ScheduleReplacement(IdCounter& ids, GameObject* target, Schedule* schedule)
    : ActionOn(ids, target), schedule(schedule) {}

int32_t ScheduleReplacement::execute() {
  if (!target) return -1;
  target->setSchedule(schedule);
  return 0;
}

}  // namespace zt
