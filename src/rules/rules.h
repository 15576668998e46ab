#pragma once

#include <cstdint>
#include <string>

#include "core/color.h"

namespace zt {

class Action;
class SpriteRenderObject2D;

// The state of the levels, read and written by the rules below and by the
// modes that run them (main thread only).
struct LevelState {
  uint32_t currentLevel = 0;
  int32_t incorrectGuesses = 0;
  bool inputLocked = false;
  float markerSpeed = 0.0f;
  // The last level's run has reached the middle of the bar: the modes go on
  // to the pause before the credits.
  bool verdictReached = false;
};

constexpr uint32_t kLevelCount = 18;
constexpr uint32_t kLastLevel = 17;

// Where the marker is along the bar, in world units. Positions are floats;
// the bounds are compared as doubles.
constexpr float kMarkerParked = -2.5f;  // off screen, where each level slides in from
constexpr double kBarStart = -1.8375;   // where a run starts
constexpr double kBarEnd = 1.9;         // a run that gets here is a right guess
constexpr double kBarMiddle = -0.01;    // where the last level's run ends
// How fast the marker walks in a run, and slides in and out, per second.
constexpr float kMarkerRunSpeed = 2.0f;

extern const std::string levelNames[kLevelCount];
// Level n's pair is levelColorPairs + 2 * n: its darker colour, then its lighter.
extern const Color levelColorPairs[2 * kLevelCount];
extern const Color neutralColorPair[2];

// The argument of the run judge: the marker, the addresses of the
// right-arrow and D values of the key state, and the level being played.
struct JudgeInput {
  SpriteRenderObject2D* marker;
  const float* rightArrow;
  const float* dKey;
  const LevelState* level;
};

// The argument of the level-change callbacks: an object, the action that
// works on it, and the level to aim it at (`object` is not read).
struct ActionBinding {
  void* object;
  Action* action;
  const LevelState* level;
};

// The argument of the callbacks that move the marker and keep the count:
// the marker, the level state and the loop's frame time.
struct MarkerBinding {
  SpriteRenderObject2D* marker;
  LevelState* level;
  const float* frameSeconds;
};

// What the pattern of a level asks for at one x. Impossible is what every x
// asks from level 18 on: any key state is a mistake there.
enum class Requirement { Free, Held, Released, Impossible };

// A free window [from, to] of marker x, both ends included; to is +infinity
// for a window that runs to the end of the bar and beyond.
struct FreeWindow {
  double from;
  double to;
};

// A level's pattern: its free windows in order of x. The key must be held
// before the first window, and the requirement turns over after each one,
// so the state after the last window follows from the count.
struct LevelPattern {
  const FreeWindow* windows;
  uint32_t count;
};

extern const LevelPattern levelPatterns[kLevelCount];

// What `level` asks for at marker x, which is widened to 64 bits and
// compared with the windows' bounds.
Requirement requirementAt(uint32_t level, float x);

// Predicates (argument types in the comments) ...
bool isKeyMistake(void* judgeInput);    // JudgeInput*
bool markerPastEnd(void* marker);       // SpriteRenderObject2D*: x >= kBarEnd
bool markerPastMiddle(void* marker);    // SpriteRenderObject2D*: x >= kBarMiddle
bool mistakePauseOver(void* schedule);  // Schedule*: clock >= 0.84
bool successPauseOver(void* schedule);  // Schedule*: clock >= 0.364
bool isLastLevel(void* level);          // LevelState*: currentLevel == 17

// ... and callbacks, each returning 0, or -1 when their argument is missing
// or (the level-change ones) there is no level to change to.
int32_t stopMarker(void* level);            // LevelState*
int32_t restartAfterMistake(void* marker);  // MarkerBinding*
int32_t parkMarkerOffLeft(void* marker);    // SpriteRenderObject2D*
int32_t slideMarkerRight(void* marker);     // MarkerBinding*
int32_t selectLevelColors(void* binding);   // ActionBinding* of a SpriteColorSwap
int32_t selectLevelName(void* binding);     // ActionBinding* of a TextChange
int32_t advanceLevel(void* level);          // LevelState*
int32_t lockInput(void* level);             // LevelState*
int32_t unlockInput(void* level);           // LevelState*
int32_t enterFinalVerdict(void* level);     // LevelState*

}  // namespace zt
