#pragma once

#include <cstdint>
#include <string>

#include "scene/color.h"

namespace zt {

class Action;
class SpriteRenderObject2D;

// Game state (main thread only), zero at start.
extern uint32_t currentLevel;
extern int32_t incorrectGuesses;
extern bool inputLocked;
extern float markerSpeed;

constexpr uint32_t kLevelCount = 18;
constexpr uint32_t kLastLevel = 17;

extern const std::string levelNames[kLevelCount];
// Level n's pair is levelColorPairs + 2 * n: its darker colour, then its lighter.
extern const Color levelColorPairs[2 * kLevelCount];
extern const Color neutralColorPair[2];

// The argument of the run judge: the marker and the addresses of the
// right-arrow and D values of the key state.
struct JudgeInput {
  SpriteRenderObject2D* marker;
  const float* rightArrow;
  const float* dKey;
};

// The argument of the level-change callbacks: an object and the action that
// works on it (only `action` is read).
struct ActionBinding {
  void* object;
  Action* action;
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
bool markerPastEnd(void* marker);       // SpriteRenderObject2D*: x >= 1.9
bool markerPastMiddle(void* marker);    // SpriteRenderObject2D*: x >= -0.01
bool mistakePauseOver(void* schedule);  // Schedule*: clock >= 0.84
bool successPauseOver(void* schedule);  // Schedule*: clock >= 0.364
bool isLastLevel(void* unused);         // currentLevel == 17

// ... and callbacks, each returning 0, or -1 when their argument is missing
// or (the level-change ones) there is no level to change to.
int32_t stopMarker(void* unused);
int32_t restartAfterMistake(void* marker);
int32_t parkMarkerOffLeft(void* marker);
int32_t slideMarkerRight(void* marker);
int32_t selectLevelColors(void* binding);  // ActionBinding* of a SpriteColorSwap
int32_t selectLevelName(void* binding);    // ActionBinding* of a TextChange
int32_t advanceLevel(void* unused);
int32_t lockInput(void* unused);
int32_t unlockInput(void* unused);
int32_t enterFinalVerdict(void* unused);

// Back to the start values (tests only; the game never resets).
void resetGameState();

}  // namespace zt
