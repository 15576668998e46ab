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

using Predicate = bool (*)(void* argument);
using Callback = int32_t (*)(void* argument);

class MultiAction : public Action {
 public:
  explicit MultiAction(IdCounter& ids);
  void add(Action* action);
  int32_t execute() override;

  std::vector<Action*> actions;
};

class ConditionalAction : public Action {
 public:
  ConditionalAction(IdCounter& ids, void* argument, Predicate predicate, Action* action);
  int32_t execute() override;

  Predicate predicate;
  Action* action;
};

class FunctionAction : public Action {
 public:
  FunctionAction(IdCounter& ids, void* argument, Callback callback);
  int32_t execute() override;

  Callback callback;
};

class ActionAddition : public Action {
 public:
  ActionAddition(IdCounter& ids, GameObject* target, Action* action);
  int32_t execute() override;

  Action* action;
};

class ActionRemoval : public Action {
 public:
  ActionRemoval(IdCounter& ids, GameObject* target, Action* action);
  int32_t execute() override;

  Action* action;
};

class ScreenPositionShift : public Action {
 public:
  ScreenPositionShift(IdCounter& ids, DrawingObject* target, int32_t dx, int32_t dy);
  int32_t execute() override;

  int32_t dx;
  int32_t dy;
};

class SpriteChange : public Action {
 public:
  SpriteChange(IdCounter& ids, SpriteObject* target, Image* image);
  int32_t execute() override;

  Image* image;
};

// The colour arrays are referenced, not copied, and may be re-aimed.
class SpriteColorSwap : public Action {
 public:
  SpriteColorSwap(IdCounter& ids, Image* target, const Color* fromColors, const Color* toColors,
                  int32_t count);
  int32_t execute() override;

  const Color* fromColors;
  const Color* toColors;
  int32_t count;
};

class TextChange : public Action {
 public:
  TextChange(IdCounter& ids, TextObject* target, std::string text);
  int32_t execute() override;

  std::string text;
};

class PcmSoundPlayback : public Action {
 public:
  PcmSoundPlayback(IdCounter& ids, void* target, SpeakerInterface* speaker, SoundClip* clip,
                   bool loop);
  int32_t execute() override;

  SpeakerInterface* speaker;
  SoundClip* clip;
  bool loop;
};

class ScheduleTimeAdjustment : public Action {
 public:
  ScheduleTimeAdjustment(IdCounter& ids, Schedule* target, float time);
  int32_t execute() override;

  float time;
};

class ScheduleReplacement : public Action {
 public:
  ScheduleReplacement(IdCounter& ids, GameObject* target, Schedule* schedule);
  int32_t execute() override;

  Schedule* schedule;
};

}  // namespace zt
