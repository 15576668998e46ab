#include "rules/scene_script.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "core/color.h"
#include "core/store.h"
#include "rules/rules.h"
#include "scene/display_interface.h"
#include "scene/game_object.h"
#include "script/actions.h"
#include "script/schedule.h"

namespace zt {

const char* const kAuthorCredit = "the Zummertock team";
const char* const kTesterCredit1 = "all who tried the early builds";
const char* const kTesterCredit2 = "and you!";

namespace {

// The colour lists of the progress flash; the swaps point into them.
const Color kWhiteList[1] = {kWhite};
const Color kTealList[1] = {kTeal};

// T itself, where it must not take part in deducing a template's arguments:
// the function alone then says what its argument is, and a T* is taken as
// the const T* the function may want.
template <typename T>
struct Exactly {
  using Type = T;
};

// Makes the scene's objects and actions, each with the next id of its kind.
class Builder {
 public:
  Builder(Store& store, RunningIds& ids) : store_(store), ids_(ids) {}

  template <typename T, typename... Args>
  T* object(Args&&... args) {
    return store_.make<T>(ids_.gameObjects, std::forward<Args>(args)...);
  }
  template <typename T, typename... Args>
  T* action(Args&&... args) {
    return store_.make<T>(ids_.actions, std::forward<Args>(args)...);
  }
  template <typename T, typename... Args>
  T* record(Args&&... args) {
    return store_.make<T>(T{std::forward<Args>(args)...});
  }
  Schedule* schedule() { return store_.make<Schedule>(); }

  // A watcher: runs `reaction` when the predicate holds for the argument.
  template <typename Argument>
  ConditionalAction<Argument>* watch(typename Exactly<Argument>::Type* argument,
                                     bool (*predicate)(Argument*), Action* reaction) {
    return action<ConditionalAction<Argument>>(argument, predicate, reaction);
  }
  template <typename Argument>
  FunctionAction<Argument>* call(int32_t (*callback)(Argument*),
                                 typename Exactly<Argument>::Type* argument) {
    return action<FunctionAction<Argument>>(argument, callback);
  }

  SpriteObject* placedSprite(DisplayInterface* display, Image* image, int32_t x, int32_t y) {
    auto* sprite = object<SpriteObject>(display, image);
    sprite->x = x;
    sprite->y = y;
    return sprite;
  }
  TextObject* placedText(const char* text, Font* font, DisplayInterface* display, int32_t y) {
    auto* placed = object<TextObject>(text, font, display);
    placed->x = 160;
    placed->y = y;
    return placed;
  }

  // A sequence that attaches a schedule to an object and restarts it at 0.0.
  MultiAction* scheduleStarter(GameObject* target, Schedule* schedule) {
    auto* starter = action<MultiAction>();
    starter->add(action<ScheduleReplacement>(target, schedule));
    starter->add(action<ScheduleTimeAdjustment>(schedule, 0.0f));
    return starter;
  }

 private:
  Store& store_;
  RunningIds& ids_;
};

// Wires one scene in named steps, each using what the ones before it made;
// actions take their ids in the order the steps make them.
class SceneWiring {
 public:
  SceneWiring(Store& store, RunningIds& ids, const GameResources& resources,
              const SceneLinks& links)
      : make_(store, ids), r_(resources), links_(links) {}

  Scene build() {
    placeObjects();
    makeSceneActions();
    makeRuleActions();
    makeSchedules();
    makeWatchers();
    fillMistakeSequence();
    fillSuccessSequence();
    fillAfterMistakeSequence();
    fillNextLevelSequence();
    fillFinalVerdictSequence();
    return scene_;
  }

 private:
  void placeObjects();
  void makeSceneActions();
  void makeRuleActions();
  void makeSchedules();
  void makeWatchers();
  void fillMistakeSequence();
  void fillSuccessSequence();
  void fillAfterMistakeSequence();
  void fillNextLevelSequence();
  void fillFinalVerdictSequence();

  Builder make_;
  const GameResources& r_;
  const SceneLinks& links_;
  Scene scene_;

  // The marker is one object with two GameObject parts: lists and schedules
  // go through the first, pictures through the sprite part.
  SpriteRenderObject2D* marker_ = nullptr;
  GameObject* markerObject_ = nullptr;
  SpriteObject* markerSprite_ = nullptr;

  // Actions on the scene that schedules and sequences share.
  SpriteChange* showDerivative1_ = nullptr;
  SpriteChange* showDerivative2_ = nullptr;
  SpriteChange* showTrollidian1_ = nullptr;
  SpriteChange* showTrollidian2_ = nullptr;
  SpriteChange* hideMarker_ = nullptr;
  SpriteColorSwap* flashToTeal_ = nullptr;
  SpriteColorSwap* flashToWhite_ = nullptr;
  ScreenPositionShift* scrollUp_ = nullptr;
  ScreenPositionShift* scrollBack_ = nullptr;
  PcmSoundPlayback* mistakeSound_ = nullptr;

  // The rules, as actions.
  FunctionAction<LevelState>* stopMarker_ = nullptr;
  FunctionAction<LevelState>* lockInput_ = nullptr;
  FunctionAction<LevelState>* unlockInput_ = nullptr;
  FunctionAction<LevelState>* advanceLevel_ = nullptr;
  FunctionAction<LevelState>* enterFinalVerdict_ = nullptr;
  FunctionAction<const MarkerBinding>* restartAfterMistake_ = nullptr;
  FunctionAction<SpriteRenderObject2D>* parkMarkerOffLeft_ = nullptr;
  FunctionAction<const ActionBinding<SpriteColorSwap>>* selectPanelColors_ = nullptr;
  FunctionAction<const ActionBinding<SpriteColorSwap>>* selectFrameColors_ = nullptr;
  FunctionAction<const ActionBinding<TextChange>>* selectName_ = nullptr;

  MultiAction* startMistakeFlicker_ = nullptr;
  MultiAction* startSuccessFlash_ = nullptr;
  MultiAction* startFinalAnimation_ = nullptr;

  // The reactions of the watchers.
  MultiAction* mistakeSequence_ = nullptr;
  MultiAction* successSequence_ = nullptr;
  MultiAction* afterMistakeSequence_ = nullptr;
  MultiAction* nextLevelSequence_ = nullptr;
  MultiAction* finalVerdictSequence_ = nullptr;
  ConditionalAction<const LevelState>* lastLevelCheck_ = nullptr;
};

void SceneWiring::placeObjects() {
  Scene& s = scene_;
  Renderer* display = &links_.display;
  Font* font = r_.font;
  s.titleSprite = make_.placedSprite(display, r_.title, 0, 10);
  s.titleBackground = make_.placedSprite(display, r_.titleBackground, 0, 0);
  marker_ = make_.object<SpriteRenderObject2D>(display, r_.derivative1);
  marker_->setPosition(Vector2D{kMarkerParked, 0.0f});
  markerObject_ = &marker_->worldPart();
  markerSprite_ = &marker_->spritePart();
  s.progressMarker = marker_;
  s.progressSprite = make_.placedSprite(display, r_.progress, 10, 153);
  s.progressFrame = make_.placedSprite(display, r_.progressBar, 10, 150);
  s.upperPanel = make_.placedSprite(display, r_.panel, 10, 10);
  s.lowerPanel = make_.placedSprite(display, r_.panel, 10, 170);

  s.levelText = make_.placedText("", font, display, 219);
  s.startPrompt = make_.placedText("[ Press ZOMBLE to start ]", font, display, 105);
  s.keyHelp = make_.placedText("ZOMBLE = D or right arrow key", font, display, 125);
  s.playPrompt = make_.placedText("[ Press ZOMBLE to play ]", font, display, 170);
  s.quitPrompt = make_.placedText("[ Press Escape to quit ]", font, display, 190);
  s.titleText = make_.placedText("Zummertock", font, display, 120);
  s.congratulationText = make_.placedText("Congratulations, you zorped right!", font, display, 30);
  s.counterText = make_.placedText("Incorrect zorpes: , HAW HAW", font, display, 50);
  s.creditTitle = make_.placedText("\"Zummertock\"", font, display, 10);
  s.creditByLine = make_.placedText("A vidya game by", font, display, 30);
  s.creditAuthor = make_.placedText(kAuthorCredit, font, display, 50);
  s.creditTesters = make_.placedText("Testers:", font, display, 175);
  s.creditTester1 = make_.placedText(kTesterCredit1, font, display, 190);
  s.creditTester2 = make_.placedText(kTesterCredit2, font, display, 205);
  s.creditThanks = make_.placedText("Thanks for playing!", font, display, 30);
  s.creditEnd = make_.placedText("THE END", font, display, 190);
}

void SceneWiring::makeSceneActions() {
  showDerivative1_ = make_.action<SpriteChange>(markerSprite_, r_.derivative1);
  showDerivative2_ = make_.action<SpriteChange>(markerSprite_, r_.derivative2);
  showTrollidian1_ = make_.action<SpriteChange>(markerSprite_, r_.trollidian1);
  showTrollidian2_ = make_.action<SpriteChange>(markerSprite_, r_.trollidian2);
  hideMarker_ = make_.action<SpriteChange>(markerSprite_, nullptr);
  flashToTeal_ = make_.action<SpriteColorSwap>(r_.progress, kWhiteList, kTealList, 1);
  flashToWhite_ = make_.action<SpriteColorSwap>(r_.progress, kTealList, kWhiteList, 1);
  // Only a scene built after the last level (tests) finds no tables for its
  // level: they end at the last one.
  const uint32_t level = std::min(links_.level.currentLevel, kLastLevel);
  const Color* levelColors = levelColorPairs + 2 * level;
  scene_.panelColorSwap = make_.action<SpriteColorSwap>(r_.panel, neutralColorPair, levelColors, 2);
  scene_.frameColorSwap =
      make_.action<SpriteColorSwap>(r_.progressBar, neutralColorPair, levelColors, 2);
  scene_.levelNameChange = make_.action<TextChange>(scene_.levelText, levelNames[level]);
  scrollUp_ = make_.action<ScreenPositionShift>(scene_.titleBackground, 0, -1);
  scrollBack_ = make_.action<ScreenPositionShift>(scene_.titleBackground, 0, 449);
  mistakeSound_ = make_.action<PcmSoundPlayback>(markerObject_, &links_.speaker, r_.death, false);
}

// The argument records are kept in the store with everything else.
void SceneWiring::makeRuleActions() {
  LevelState& level = links_.level;
  const auto* markerBinding = make_.record<MarkerBinding>(*marker_, level, links_.clock);
  stopMarker_ = make_.call(stopMarker, &level);
  lockInput_ = make_.call(lockInput, &level);
  unlockInput_ = make_.call(unlockInput, &level);
  advanceLevel_ = make_.call(advanceLevel, &level);
  enterFinalVerdict_ = make_.call(enterFinalVerdict, &level);
  restartAfterMistake_ = make_.call(restartAfterMistake, markerBinding);
  parkMarkerOffLeft_ = make_.call(parkMarkerOffLeft, marker_);
  scene_.slideMarkerRightAction = make_.call(slideMarkerRight, markerBinding);

  // Each binding names the action to aim and the object that action works on.
  const auto* panel =
      make_.record<ActionBinding<SpriteColorSwap>>(r_.panel, *scene_.panelColorSwap, level);
  const auto* frame =
      make_.record<ActionBinding<SpriteColorSwap>>(r_.progressBar, *scene_.frameColorSwap, level);
  const auto* name =
      make_.record<ActionBinding<TextChange>>(scene_.levelText, *scene_.levelNameChange, level);
  selectPanelColors_ = make_.call(selectLevelColors, panel);
  selectFrameColors_ = make_.call(selectLevelColors, frame);
  selectName_ = make_.call(selectLevelName, name);
}

void SceneWiring::makeSchedules() {
  // The background scroll: up one pixel every 0.1 s, 449 times, back down,
  // then round again. Each time is computed on its own so that none carries
  // the rounding of the ones before it.
  Schedule* mainSchedule = scene_.mainSchedule = make_.schedule();
  for (int i = 0; i <= 448; ++i) mainSchedule->insert(scrollUp_, static_cast<float>(i * 0.1));
  mainSchedule->insert(scrollBack_, 44.9f);
  mainSchedule->insert(make_.action<ScheduleTimeAdjustment>(mainSchedule, 0.0f), 45.0f);

  // The walk cycle of a run.
  Schedule* holdSchedule = scene_.holdSchedule = make_.schedule();
  holdSchedule->insert(showDerivative2_, 0.0f);
  holdSchedule->insert(showDerivative1_, 0.2f);
  holdSchedule->insert(make_.action<ScheduleTimeAdjustment>(holdSchedule, 0.0f), 0.4f);

  // Three flickers, then the flicker takes itself off the marker.
  Schedule* mistakeFlicker = scene_.mistakeFlicker = make_.schedule();
  const float flickerTimes[][3] = {
      {0.0f, 0.07f, 0.14f}, {0.28f, 0.35f, 0.42f}, {0.56f, 0.63f, 0.70f}};
  for (const auto& times : flickerTimes) {
    mistakeFlicker->insert(showTrollidian2_, times[0]);
    mistakeFlicker->insert(showTrollidian1_, times[1]);
    mistakeFlicker->insert(hideMarker_, times[2]);
  }
  mistakeFlicker->insert(make_.action<ScheduleReplacement>(markerObject_, nullptr), 0.84f);

  // Teal and white in turn, starting and ending on teal.
  Schedule* successFlash = scene_.successFlash = make_.schedule();
  const float flashTimes[] = {0.0f,   0.028f, 0.05f,  0.084f, 0.106f, 0.14f, 0.162f,
                              0.196f, 0.218f, 0.252f, 0.274f, 0.308f, 0.33f};
  for (size_t i = 0; i < std::size(flashTimes); ++i) {
    successFlash->insert(i % 2 == 0 ? flashToTeal_ : flashToWhite_, flashTimes[i]);
  }
  successFlash->insert(make_.action<ScheduleReplacement>(scene_.progressSprite, nullptr), 0.364f);

  // The marker of the final verdict: still, then laughing for ever.
  Schedule* finalAnimation = scene_.finalAnimation = make_.schedule();
  finalAnimation->insert(showDerivative1_, 0.0f);
  finalAnimation->insert(showTrollidian1_, 1.5f);
  finalAnimation->insert(showTrollidian2_, 3.0f);
  finalAnimation->insert(showTrollidian1_, 3.2f);
  finalAnimation->insert(make_.action<ScheduleTimeAdjustment>(finalAnimation, 3.0f), 3.4f);

  startMistakeFlicker_ = make_.scheduleStarter(markerObject_, mistakeFlicker);
  startSuccessFlash_ = make_.scheduleStarter(scene_.progressSprite, successFlash);
  startFinalAnimation_ = make_.scheduleStarter(markerObject_, finalAnimation);
}

// The sequences are made empty first and filled once the watchers exist,
// since each names the watchers it adds and removes.
void SceneWiring::makeWatchers() {
  mistakeSequence_ = make_.action<MultiAction>();
  successSequence_ = make_.action<MultiAction>();
  afterMistakeSequence_ = make_.action<MultiAction>();
  nextLevelSequence_ = make_.action<MultiAction>();
  finalVerdictSequence_ = make_.action<MultiAction>();

  const JudgeInput* judgeInput = make_.record<JudgeInput>(*marker_, links_.keys, links_.level);
  scene_.endOfRunWatch = make_.watch(marker_, markerPastEnd, successSequence_);
  scene_.runJudge = make_.watch(judgeInput, isKeyMistake, mistakeSequence_);
  scene_.mistakePauseWatch =
      make_.watch(scene_.mistakeFlicker, mistakePauseOver, afterMistakeSequence_);
  scene_.successPauseWatch = make_.watch(scene_.successFlash, successPauseOver, nextLevelSequence_);
  scene_.middleWatch = make_.watch(marker_, markerPastMiddle, finalVerdictSequence_);
  auto* watchTheMiddle = make_.action<ActionAddition>(markerObject_, scene_.middleWatch);
  lastLevelCheck_ = make_.watch(&links_.level, isLastLevel, watchTheMiddle);
}

void SceneWiring::fillMistakeSequence() {
  MultiAction* sequence = mistakeSequence_;
  sequence->add(mistakeSound_);
  sequence->add(lockInput_);
  sequence->add(stopMarker_);
  sequence->add(startMistakeFlicker_);
  sequence->add(make_.action<ActionAddition>(markerObject_, scene_.mistakePauseWatch));
  sequence->add(make_.action<ActionRemoval>(markerObject_, scene_.runJudge));
  sequence->add(make_.action<ActionRemoval>(markerObject_, scene_.endOfRunWatch));
}

void SceneWiring::fillSuccessSequence() {
  MultiAction* sequence = successSequence_;
  sequence->add(lockInput_);
  sequence->add(make_.action<ActionAddition>(markerObject_, scene_.slideMarkerRightAction));
  sequence->add(startSuccessFlash_);
  sequence->add(make_.action<ActionAddition>(markerObject_, scene_.successPauseWatch));
  sequence->add(make_.action<ActionRemoval>(markerObject_, scene_.runJudge));
  sequence->add(make_.action<ActionRemoval>(markerObject_, scene_.endOfRunWatch));
}

void SceneWiring::fillAfterMistakeSequence() {
  MultiAction* sequence = afterMistakeSequence_;
  sequence->add(unlockInput_);
  sequence->add(restartAfterMistake_);
  sequence->add(stopMarker_);
  sequence->add(make_.action<ScheduleReplacement>(markerObject_, nullptr));
  sequence->add(showDerivative1_);
  sequence->add(make_.action<ActionRemoval>(markerObject_, scene_.mistakePauseWatch));
  sequence->add(make_.action<ActionAddition>(markerObject_, scene_.endOfRunWatch));
}

void SceneWiring::fillNextLevelSequence() {
  MultiAction* sequence = nextLevelSequence_;
  sequence->add(unlockInput_);
  sequence->add(advanceLevel_);
  sequence->add(make_.action<ActionRemoval>(markerObject_, scene_.slideMarkerRightAction));
  sequence->add(parkMarkerOffLeft_);
  sequence->add(stopMarker_);
  sequence->add(make_.action<ScheduleReplacement>(markerObject_, nullptr));
  sequence->add(showDerivative1_);
  sequence->add(make_.action<ActionRemoval>(markerObject_, scene_.successPauseWatch));
  sequence->add(make_.action<ActionAddition>(markerObject_, scene_.endOfRunWatch));
  // Aim the level's actions at the new level, then run them.
  sequence->add(selectPanelColors_);
  sequence->add(selectFrameColors_);
  sequence->add(selectName_);
  sequence->add(scene_.panelColorSwap);
  sequence->add(scene_.frameColorSwap);
  sequence->add(scene_.levelNameChange);
  sequence->add(lastLevelCheck_);
}

void SceneWiring::fillFinalVerdictSequence() {
  MultiAction* sequence = finalVerdictSequence_;
  sequence->add(stopMarker_);
  sequence->add(enterFinalVerdict_);
  sequence->add(make_.action<ActionRemoval>(markerObject_, scene_.middleWatch));
  sequence->add(startFinalAnimation_);
}

}  // namespace

Scene buildScene(Store& store, RunningIds& ids, const GameResources& resources,
                 const SceneLinks& links) {
  return SceneWiring(store, ids, resources, links).build();
}

}  // namespace zt
