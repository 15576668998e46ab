#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/color.h"
#include "core/id_counter.h"
#include "scene/action.h"

namespace zt {

class GameObject;
class DrawingObject;
class SpriteObject;
class TextObject;
class Image;
class Schedule;
struct SoundClip;
class SpeakerInterface;

class MultiAction : public Action {
 public:
  explicit MultiAction(IdCounter& ids);
  void add(Action* action);
  int32_t execute() override;

  std::vector<Action*> actions;
};

// Runs `action` when the predicate holds for the argument, which is handed
// over as it is, null included.
template <typename Argument>
class ConditionalAction : public ActionOn<Argument> {
 public:
  using Predicate = bool (*)(Argument* argument);

  ConditionalAction(IdCounter& ids, Argument* argument, Predicate predicate, Action* action)
      : ActionOn<Argument>(ids, argument), predicate(predicate), action(action) {}
  int32_t execute() override {
    if (!predicate || !predicate(this->target)) return -1;
    // A watcher without a reaction has nothing to hand back.
    if (!action) return -1;
    return action->execute();
  }

  Predicate predicate;
  Action* action;
};

// Calls the callback with the argument, null included, and returns its result.
template <typename Argument>
class FunctionAction : public ActionOn<Argument> {
 public:
  using Callback = int32_t (*)(Argument* argument);

  FunctionAction(IdCounter& ids, Argument* argument, Callback callback)
      : ActionOn<Argument>(ids, argument), callback(callback) {}
  int32_t execute() override { return callback ? callback(this->target) : -1; }

  Callback callback;
};

class ActionAddition : public ActionOn<GameObject> {
 public:
  ActionAddition(IdCounter& ids, GameObject* target, Action* action);
  int32_t execute() override;

  Action* action;
};

class ActionRemoval : public ActionOn<GameObject> {
 public:
  ActionRemoval(IdCounter& ids, GameObject* target, Action* action);
  int32_t execute() override;

  Action* action;
};

class ScreenPositionShift : public ActionOn<DrawingObject> {
 public:
  ScreenPositionShift(IdCounter& ids, DrawingObject* target, int32_t dx, int32_t dy);
  int32_t execute() override;

  int32_t dx;
  int32_t dy;
};

class SpriteChange : public ActionOn<SpriteObject> {
 public:
  SpriteChange(IdCounter& ids, SpriteObject* target, Image* image);
  int32_t execute() override;

  Image* image;
};

// The colour arrays are referenced, not copied, and may be re-aimed.
class SpriteColorSwap : public ActionOn<Image> {
 public:
  SpriteColorSwap(IdCounter& ids, Image* target, const Color* fromColors, const Color* toColors,
                  int32_t count);
  int32_t execute() override;

  const Color* fromColors;
  const Color* toColors;
  int32_t count;
};

class TextChange : public ActionOn<TextObject> {
 public:
  TextChange(IdCounter& ids, TextObject* target, std::string text);
  int32_t execute() override;

  std::string text;
};

// The target is the object the sound belongs to; only its presence counts.
class PcmSoundPlayback : public ActionOn<GameObject> {
 public:
  PcmSoundPlayback(IdCounter& ids, GameObject* target, SpeakerInterface* speaker, SoundClip* clip,
                   bool loop);
  int32_t execute() override;

  SpeakerInterface* speaker;
  SoundClip* clip;
  bool loop;
};

class ScheduleTimeAdjustment : public ActionOn<Schedule> {
 public:
  ScheduleTimeAdjustment(IdCounter& ids, Schedule* target, float time);
  int32_t execute() override;

  float time;
};

class ScheduleReplacement : public ActionOn<GameObject> {
 public:
  ScheduleReplacement(IdCounter& ids, GameObject* target, Schedule* schedule);
  int32_t execute() override;

  Schedule* schedule;
};

}  // namespace zt
