#pragma once

#include <cstdint>

#include "core/id_counter.h"
#include "rules/game_resources.h"

namespace zt {

class Renderer;
class Image;
class Font;
struct SoundClip;
class SpriteObject;
class TextObject;
class SpriteRenderObject2D;
class Schedule;
template <typename Argument>
class ConditionalAction;
template <typename Argument>
class FunctionAction;
class SpriteColorSwap;
class TextChange;
class SpeakerInterface;
class Store;
struct JudgeInput;
struct MarkerBinding;
struct LevelState;
struct KeyState;
struct LoopClock;

// What the game and its tests reach of what the scene script builds; the
// rest is wired in and reached only through these. The store given to
// buildScene owns it all.
struct Scene {
  // Scene objects.
  SpriteObject* titleSprite = nullptr;
  SpriteObject* titleBackground = nullptr;
  SpriteRenderObject2D* progressMarker = nullptr;
  SpriteObject* progressSprite = nullptr;
  SpriteObject* progressFrame = nullptr;
  SpriteObject* upperPanel = nullptr;
  SpriteObject* lowerPanel = nullptr;

  TextObject* levelText = nullptr;
  TextObject* startPrompt = nullptr;
  TextObject* keyHelp = nullptr;
  TextObject* playPrompt = nullptr;
  TextObject* quitPrompt = nullptr;
  TextObject* titleText = nullptr;
  TextObject* congratulationText = nullptr;
  TextObject* counterText = nullptr;
  TextObject* creditTitle = nullptr;   // "\"Zummertock\""
  TextObject* creditByLine = nullptr;  // "A vidya game by"
  TextObject* creditAuthor = nullptr;
  TextObject* creditTesters = nullptr;  // "Testers:"
  TextObject* creditTester1 = nullptr;
  TextObject* creditTester2 = nullptr;
  TextObject* creditThanks = nullptr;  // "Thanks for playing!"
  TextObject* creditEnd = nullptr;     // "THE END"

  // Schedules.
  Schedule* mainSchedule = nullptr;
  Schedule* holdSchedule = nullptr;
  Schedule* mistakeFlicker = nullptr;
  Schedule* successFlash = nullptr;
  Schedule* finalAnimation = nullptr;

  // The watchers of a run and its pauses, in the marker's list in turn.
  ConditionalAction<const JudgeInput>* runJudge = nullptr;
  ConditionalAction<SpriteRenderObject2D>* endOfRunWatch = nullptr;
  ConditionalAction<const Schedule>* mistakePauseWatch = nullptr;
  ConditionalAction<const Schedule>* successPauseWatch = nullptr;
  ConditionalAction<SpriteRenderObject2D>* middleWatch = nullptr;
  // The slide of the success pause, in the marker's list while it lasts.
  FunctionAction<const MarkerBinding>* slideMarkerRightAction = nullptr;

  // The actions that show the level's colours and name: run at the game's
  // start, then by the change to each next level.
  SpriteColorSwap* panelColorSwap = nullptr;
  SpriteColorSwap* frameColorSwap = nullptr;
  TextChange* levelNameChange = nullptr;
};

// What the wiring reads and writes outside the scene.
struct SceneLinks {
  Renderer& display;
  SpeakerInterface& speaker;
  LevelState& level;       // the tables are aimed at its level from the start
  const KeyState& keys;    // the judge reads the play keys
  const LoopClock& clock;  // the slide after a right guess reads the frame time
};

// The texts of the credits that are ours to write.
extern const char* const kAuthorCredit;
extern const char* const kTesterCredit1;
extern const char* const kTesterCredit2;

// Builds every scene object, action and schedule, kept in the store, and
// wires them.
Scene buildScene(Store& store, RunningIds& ids, const GameResources& resources,
                 const SceneLinks& links);

}  // namespace zt
