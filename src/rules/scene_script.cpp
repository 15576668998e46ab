#include "rules/scene_script.h"

#include <algorithm>
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

  Schedule* schedule() { return store_.make<Schedule>(); }

 private:
  Store& store_;
  RunningIds& ids_;
};

}  // namespace

Scene buildScene(Store& store, RunningIds& ids, const GameResources& resources,
                 const SceneLinks& links) {
  Builder make(store, ids);
  Scene scene;
  const GameResources& r = resources;
  Renderer* display = &links.display;
  LevelState* levelState = &links.level;

  // Scene objects.
  scene.titleSprite = make.placedSprite(display, r.title, 0, 10);
  scene.titleBackground = make.placedSprite(display, r.titleBackground, 0, 0);
  auto* marker = make.object<SpriteRenderObject2D>(display, r.derivative1);
  marker->setPosition(Vector2D{kMarkerParked, 0.0f});
  scene.progressMarker = marker;
  scene.progressSprite = make.placedSprite(display, r.progress, 10, 153);
  scene.progressFrame = make.placedSprite(display, r.progressBar, 10, 150);
  scene.upperPanel = make.placedSprite(display, r.panel, 10, 10);
  scene.lowerPanel = make.placedSprite(display, r.panel, 10, 170);

  scene.levelText = make.placedText("", r.font, display, 219);
  scene.startPrompt = make.placedText("[ Press ZOMBLE to start ]", r.font, display, 105);
  scene.keyHelp = make.placedText("ZOMBLE = D or right arrow key", r.font, display, 125);
  scene.playPrompt = make.placedText("[ Press ZOMBLE to play ]", r.font, display, 170);
  scene.quitPrompt = make.placedText("[ Press Escape to quit ]", r.font, display, 190);
  scene.titleText = make.placedText("Zummertock", r.font, display, 120);
  scene.congratulationText =
      make.placedText("Congratulations, you zorped right!", r.font, display, 30);
  scene.counterText = make.placedText("Incorrect zorpes: , HAW HAW", r.font, display, 50);
  scene.creditTitle = make.placedText("\"Zummertock\"", r.font, display, 10);
  scene.creditByLine = make.placedText("A vidya game by", r.font, display, 30);
  scene.creditAuthor = make.placedText(kAuthorCredit, r.font, display, 50);
  scene.creditTesters = make.placedText("Testers:", r.font, display, 175);
  scene.creditTester1 = make.placedText(kTesterCredit1, r.font, display, 190);
  scene.creditTester2 = make.placedText(kTesterCredit2, r.font, display, 205);
  scene.creditThanks = make.placedText("Thanks for playing!", r.font, display, 30);
  scene.creditEnd = make.placedText("THE END", r.font, display, 190);

  // The marker is one object with two GameObject parts: lists and schedules
  // go through the first, pictures through the sprite part.
  GameObject* markerObject = static_cast<RenderObject2D*>(marker);
  SpriteObject* markerSprite = static_cast<SpriteObject*>(marker);
  GameObject* progressObject = scene.progressSprite;

  // Schedules, filled further down.
  Schedule* mainSchedule = make.schedule();
  Schedule* holdSchedule = make.schedule();
  Schedule* mistakeFlicker = make.schedule();
  Schedule* successFlash = make.schedule();
  Schedule* finalAnimation = make.schedule();
  scene.mainSchedule = mainSchedule;
  scene.holdSchedule = holdSchedule;
  scene.mistakeFlicker = mistakeFlicker;
  scene.successFlash = successFlash;
  scene.finalAnimation = finalAnimation;

  // Argument records.
  scene.judgeInput = make.record<JudgeInput>(*marker, links.keys, *levelState);
  scene.markerBinding = make.record<MarkerBinding>(*marker, *levelState, links.clock);

  // Single actions.
  auto* showDerivative1 = make.action<SpriteChange>(markerSprite, r.derivative1);
  auto* showDerivative2 = make.action<SpriteChange>(markerSprite, r.derivative2);
  auto* showTrollidian1 = make.action<SpriteChange>(markerSprite, r.trollidian1);
  auto* showTrollidian2 = make.action<SpriteChange>(markerSprite, r.trollidian2);
  auto* hideMarker = make.action<SpriteChange>(markerSprite, nullptr);
  auto* flashToTeal = make.action<SpriteColorSwap>(r.progress, kWhiteList, kTealList, 1);
  auto* flashToWhite = make.action<SpriteColorSwap>(r.progress, kTealList, kWhiteList, 1);
  // Only a scene built after the last level (tests) finds no tables for its
  // level: they end at the last one.
  const uint32_t level = std::min(levelState->currentLevel, kLastLevel);
  scene.panelColorSwap =
      make.action<SpriteColorSwap>(r.panel, neutralColorPair, levelColorPairs + 2 * level, 2);
  scene.frameColorSwap =
      make.action<SpriteColorSwap>(r.progressBar, neutralColorPair, levelColorPairs + 2 * level, 2);
  scene.levelNameChange = make.action<TextChange>(scene.levelText, levelNames[level]);
  auto* scrollUp = make.action<ScreenPositionShift>(scene.titleBackground, 0, -1);
  auto* scrollBack = make.action<ScreenPositionShift>(scene.titleBackground, 0, 449);
  auto* mistakeSound = make.action<PcmSoundPlayback>(markerObject, &links.speaker, r.death, false);

  using LevelCall = FunctionAction<LevelState>;
  using MarkerCall = FunctionAction<const MarkerBinding>;
  auto* stopMarkerAction = make.action<LevelCall>(levelState, stopMarker);
  auto* lockInputAction = make.action<LevelCall>(levelState, lockInput);
  auto* unlockInputAction = make.action<LevelCall>(levelState, unlockInput);
  auto* advanceLevelAction = make.action<LevelCall>(levelState, advanceLevel);
  auto* enterFinalVerdictAction = make.action<LevelCall>(levelState, enterFinalVerdict);
  auto* restartAfterMistakeAction =
      make.action<MarkerCall>(scene.markerBinding, restartAfterMistake);
  auto* parkMarkerOffLeftAction =
      make.action<FunctionAction<SpriteRenderObject2D>>(marker, parkMarkerOffLeft);
  auto* slideMarkerRightAction = make.action<MarkerCall>(scene.markerBinding, slideMarkerRight);
  scene.slideMarkerRightAction = slideMarkerRightAction;

  using ColorBinding = ActionBinding<SpriteColorSwap>;
  using NameBinding = ActionBinding<TextChange>;
  scene.panelBinding = make.record<ColorBinding>(r.panel, *scene.panelColorSwap, *levelState);
  scene.frameBinding = make.record<ColorBinding>(r.progressBar, *scene.frameColorSwap, *levelState);
  scene.nameBinding =
      make.record<NameBinding>(scene.levelText, *scene.levelNameChange, *levelState);
  auto* selectPanelColors =
      make.action<FunctionAction<const ColorBinding>>(scene.panelBinding, selectLevelColors);
  auto* selectFrameColors =
      make.action<FunctionAction<const ColorBinding>>(scene.frameBinding, selectLevelColors);
  auto* selectName =
      make.action<FunctionAction<const NameBinding>>(scene.nameBinding, selectLevelName);

  // The background scroll: up one pixel every 0.1 s, 449 times, back down,
  // then round again. Each time is computed on its own so that none carries
  // the rounding of the ones before it.
  for (int i = 0; i <= 448; ++i) {
    mainSchedule->insert(scrollUp, static_cast<float>(i * 0.1));
  }
  mainSchedule->insert(scrollBack, 44.9f);
  mainSchedule->insert(make.action<ScheduleTimeAdjustment>(mainSchedule, 0.0f), 45.0f);

  // The walk cycle of a run.
  holdSchedule->insert(showDerivative2, 0.0f);
  holdSchedule->insert(showDerivative1, 0.2f);
  holdSchedule->insert(make.action<ScheduleTimeAdjustment>(holdSchedule, 0.0f), 0.4f);

  // Three flickers, then the flicker takes itself off the marker.
  mistakeFlicker->insert(showTrollidian2, 0.0f);
  mistakeFlicker->insert(showTrollidian1, 0.07f);
  mistakeFlicker->insert(hideMarker, 0.14f);
  mistakeFlicker->insert(showTrollidian2, 0.28f);
  mistakeFlicker->insert(showTrollidian1, 0.35f);
  mistakeFlicker->insert(hideMarker, 0.42f);
  mistakeFlicker->insert(showTrollidian2, 0.56f);
  mistakeFlicker->insert(showTrollidian1, 0.63f);
  mistakeFlicker->insert(hideMarker, 0.70f);
  mistakeFlicker->insert(make.action<ScheduleReplacement>(markerObject, nullptr), 0.84f);

  // Teal and white in turn, starting and ending on teal.
  const float flashTimes[] = {0.0f,   0.028f, 0.05f,  0.084f, 0.106f, 0.14f, 0.162f,
                              0.196f, 0.218f, 0.252f, 0.274f, 0.308f, 0.33f};
  for (size_t i = 0; i < sizeof flashTimes / sizeof flashTimes[0]; ++i) {
    successFlash->insert(i % 2 == 0 ? static_cast<Action*>(flashToTeal) : flashToWhite,
                         flashTimes[i]);
  }
  successFlash->insert(make.action<ScheduleReplacement>(progressObject, nullptr), 0.364f);

  // The marker of the final verdict: still, then laughing for ever.
  finalAnimation->insert(showDerivative1, 0.0f);
  finalAnimation->insert(showTrollidian1, 1.5f);
  finalAnimation->insert(showTrollidian2, 3.0f);
  finalAnimation->insert(showTrollidian1, 3.2f);
  finalAnimation->insert(make.action<ScheduleTimeAdjustment>(finalAnimation, 3.0f), 3.4f);

  MultiAction* startMistakeFlicker = make.scheduleStarter(markerObject, mistakeFlicker);
  MultiAction* startSuccessFlash = make.scheduleStarter(progressObject, successFlash);
  MultiAction* startFinalAnimation = make.scheduleStarter(markerObject, finalAnimation);

  // The sequences are filled after the watchers exist, since each names the
  // watchers it adds and removes.
  auto* mistakeSequence = make.action<MultiAction>();
  auto* successSequence = make.action<MultiAction>();
  auto* afterMistakeSequence = make.action<MultiAction>();
  auto* nextLevelSequence = make.action<MultiAction>();
  auto* finalVerdictSequence = make.action<MultiAction>();
  scene.mistakeSequence = mistakeSequence;
  scene.successSequence = successSequence;
  scene.afterMistakeSequence = afterMistakeSequence;
  scene.nextLevelSequence = nextLevelSequence;
  scene.finalVerdictSequence = finalVerdictSequence;

  using MarkerWatch = ConditionalAction<SpriteRenderObject2D>;
  using PauseWatch = ConditionalAction<const Schedule>;
  auto* endOfRunWatch = make.action<MarkerWatch>(marker, markerPastEnd, successSequence);
  auto* runJudge = make.action<ConditionalAction<const JudgeInput>>(scene.judgeInput, isKeyMistake,
                                                                    mistakeSequence);
  auto* mistakePauseWatch =
      make.action<PauseWatch>(mistakeFlicker, mistakePauseOver, afterMistakeSequence);
  auto* successPauseWatch =
      make.action<PauseWatch>(successFlash, successPauseOver, nextLevelSequence);
  auto* middleWatch = make.action<MarkerWatch>(marker, markerPastMiddle, finalVerdictSequence);
  auto* lastLevelCheck = make.action<ConditionalAction<const LevelState>>(
      levelState, isLastLevel, make.action<ActionAddition>(markerObject, middleWatch));
  scene.endOfRunWatch = endOfRunWatch;
  scene.runJudge = runJudge;
  scene.mistakePauseWatch = mistakePauseWatch;
  scene.successPauseWatch = successPauseWatch;
  scene.middleWatch = middleWatch;
  scene.lastLevelCheck = lastLevelCheck;

  mistakeSequence->add(mistakeSound);
  mistakeSequence->add(lockInputAction);
  mistakeSequence->add(stopMarkerAction);
  mistakeSequence->add(startMistakeFlicker);
  mistakeSequence->add(make.action<ActionAddition>(markerObject, mistakePauseWatch));
  mistakeSequence->add(make.action<ActionRemoval>(markerObject, runJudge));
  mistakeSequence->add(make.action<ActionRemoval>(markerObject, endOfRunWatch));

  successSequence->add(lockInputAction);
  successSequence->add(make.action<ActionAddition>(markerObject, slideMarkerRightAction));
  successSequence->add(startSuccessFlash);
  successSequence->add(make.action<ActionAddition>(markerObject, successPauseWatch));
  successSequence->add(make.action<ActionRemoval>(markerObject, runJudge));
  successSequence->add(make.action<ActionRemoval>(markerObject, endOfRunWatch));

  afterMistakeSequence->add(unlockInputAction);
  afterMistakeSequence->add(restartAfterMistakeAction);
  afterMistakeSequence->add(stopMarkerAction);
  afterMistakeSequence->add(make.action<ScheduleReplacement>(markerObject, nullptr));
  afterMistakeSequence->add(showDerivative1);
  afterMistakeSequence->add(make.action<ActionRemoval>(markerObject, mistakePauseWatch));
  afterMistakeSequence->add(make.action<ActionAddition>(markerObject, endOfRunWatch));

  nextLevelSequence->add(unlockInputAction);
  nextLevelSequence->add(advanceLevelAction);
  nextLevelSequence->add(make.action<ActionRemoval>(markerObject, slideMarkerRightAction));
  nextLevelSequence->add(parkMarkerOffLeftAction);
  nextLevelSequence->add(stopMarkerAction);
  nextLevelSequence->add(make.action<ScheduleReplacement>(markerObject, nullptr));
  nextLevelSequence->add(showDerivative1);
  nextLevelSequence->add(make.action<ActionRemoval>(markerObject, successPauseWatch));
  nextLevelSequence->add(make.action<ActionAddition>(markerObject, endOfRunWatch));
  nextLevelSequence->add(selectPanelColors);
  nextLevelSequence->add(selectFrameColors);
  nextLevelSequence->add(selectName);
  nextLevelSequence->add(scene.panelColorSwap);
  nextLevelSequence->add(scene.frameColorSwap);
  nextLevelSequence->add(scene.levelNameChange);
  nextLevelSequence->add(lastLevelCheck);

  finalVerdictSequence->add(stopMarkerAction);
  finalVerdictSequence->add(enterFinalVerdictAction);
  finalVerdictSequence->add(make.action<ActionRemoval>(markerObject, middleWatch));
  finalVerdictSequence->add(startFinalAnimation);

  return scene;
}

}  // namespace zt
