#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/color.h"

namespace zt {

class GameObject;
class DrawingObject;
class SpriteObject;
class TextObject;
class Image;
class Schedule;
struct SoundClip;

// A small command object: when executed it does one thing to the scene, a
// schedule, the mixer or the game state. Returns 0 when it did its work, -1
// when it did nothing (or, for the delegating kinds, what they delegated to).
class Action {
 public:
  explicit Action(void* target);
  virtual ~Action() = default;
  virtual int32_t execute() = 0;

  void* target;
  int32_t id;
};

// The process-wide action counter (starts at 0).
extern int32_t nextActionId;

using Predicate = bool (*)(void* argument);
using Callback = int32_t (*)(void* argument);

class MultiAction : public Action {
 public:
  MultiAction();
  void add(Action* action);
  int32_t execute() override;

  std::vector<Action*> actions;
};

class ConditionalAction : public Action {
 public:
  ConditionalAction(void* argument, Predicate predicate, Action* action);
  int32_t execute() override;

  Predicate predicate;
  Action* action;
};

class FunctionAction : public Action {
 public:
  FunctionAction(void* argument, Callback callback);
  int32_t execute() override;

  Callback callback;
};

class ActionAddition : public Action {
 public:
  ActionAddition(GameObject* target, Action* action);
  int32_t execute() override;

  Action* action;
};

class ActionRemoval : public Action {
 public:
  ActionRemoval(GameObject* target, Action* action);
  int32_t execute() override;

  Action* action;
};

class ScreenPositionShift : public Action {
 public:
  ScreenPositionShift(DrawingObject* target, int32_t dx, int32_t dy);
  int32_t execute() override;

  int32_t dx;
  int32_t dy;
};

class SpriteChange : public Action {
 public:
  SpriteChange(SpriteObject* target, Image* image);
  int32_t execute() override;

  Image* image;
};

// The colour arrays are referenced, not copied, and may be re-aimed.
class SpriteColorSwap : public Action {
 public:
  SpriteColorSwap(Image* target, const Color* fromColors, const Color* toColors, int32_t count);
  int32_t execute() override;

  const Color* fromColors;
  const Color* toColors;
  int32_t count;
};

class TextChange : public Action {
 public:
  TextChange(TextObject* target, std::string text);
  int32_t execute() override;

  std::string text;
};

class PcmSoundPlayback : public Action {
 public:
  PcmSoundPlayback(void* target, SoundClip* clip, bool loop);
  int32_t execute() override;

  SoundClip* clip;
  bool loop;
};

class ScheduleTimeAdjustment : public Action {
 public:
  ScheduleTimeAdjustment(Schedule* target, float time);
  int32_t execute() override;

  float time;
};

class ScheduleReplacement : public Action {
 public:
  ScheduleReplacement(GameObject* target, Schedule* schedule);
  int32_t execute() override;

  Schedule* schedule;
};

}  // namespace zt
