#pragma once

#include <cstdint>
#include <string>

#include "core/color.h"
#include "script/actions.h"

namespace zt {

class SpriteRenderObject2D;
class Schedule;
struct KeyState;
struct LoopClock;

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

// The argument of the run judge: the marker, the key state it reads the
// play keys from, and the level being played.
struct JudgeInput {
  SpriteRenderObject2D& marker;
  const KeyState& keys;
  const LevelState& level;
};

// The argument of the level-change callbacks: the action that shows a
// level's colours or name, the object it works on (`object` is not read),
// and the level to aim it at.
template <typename Change>
struct ActionBinding {
  typename Change::Target* object;
  Change& action;
  const LevelState& level;
};

// The argument of the callbacks that move the marker and keep the count:
// the marker, the level state and the loop's clock, whose last frame time
// the slide after a right guess goes by.
struct MarkerBinding {
  SpriteRenderObject2D& marker;
  LevelState& level;
  const LoopClock& clock;
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

// Predicates, false for a null argument ...
bool isKeyMistake(const JudgeInput* input);
bool markerPastEnd(SpriteRenderObject2D* marker);     // x >= kBarEnd
bool markerPastMiddle(SpriteRenderObject2D* marker);  // x >= kBarMiddle
bool mistakePauseOver(const Schedule* pause);         // clock >= 0.84
bool successPauseOver(const Schedule* pause);         // clock >= 0.364
bool isLastLevel(const LevelState* level);            // currentLevel == 17

// ... and callbacks, each returning 0, or -1 when their argument is null or
// (the level-change ones) there is no level to change to.
int32_t stopMarker(LevelState* level);
int32_t restartAfterMistake(const MarkerBinding* binding);
int32_t parkMarkerOffLeft(SpriteRenderObject2D* marker);
int32_t slideMarkerRight(const MarkerBinding* binding);
int32_t selectLevelColors(const ActionBinding<SpriteColorSwap>* binding);
int32_t selectLevelName(const ActionBinding<TextChange>* binding);
int32_t advanceLevel(LevelState* level);
int32_t lockInput(LevelState* level);
int32_t unlockInput(LevelState* level);
int32_t enterFinalVerdict(LevelState* level);

}  // namespace zt
