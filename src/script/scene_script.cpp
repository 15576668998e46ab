#include "script/scene_script.h"

#include "rules/rules.h"
#include "scene/color.h"
#include "scene/game_object.h"
#include "script/action.h"
#include "script/schedule.h"

namespace zt {

const char* const kAuthorCredit = "the Zummertock team";
const char* const kTesterCredit1 = "all who tried the early builds";
const char* const kTesterCredit2 = "and you!";

namespace {

// The colour lists of the progress flash; the swaps point into them.
const Color kWhiteList[1] = {kWhite};
const Color kTealList[1] = {kTeal};

SpriteObject* placedSprite(DisplayInterface* display, Image* image, int32_t x, int32_t y) {
  auto* sprite = new SpriteObject(display, image);
  sprite->x = x;
  sprite->y = y;
  return sprite;
}

TextObject* placedText(const char* text, Font* font, DisplayInterface* display, int32_t y) {
  auto* object = new TextObject(text, font, display);
  object->x = 160;
  object->y = y;
  return object;
}

// A sequence that attaches a schedule to an object and restarts it at 0.0.
MultiAction* scheduleStarter(GameObject* object, Schedule* schedule) {
  auto* starter = new MultiAction();
  starter->add(new ScheduleReplacement(object, schedule));
  starter->add(new ScheduleTimeAdjustment(schedule, 0.0f));
  return starter;
}

// Only reached when a scene is built after the last level (tests); the
// tables end at level 17.
uint32_t tableLevel() {
  return currentLevel < kLevelCount ? currentLevel : kLastLevel;
}

}  // namespace

Scene* buildScene(const GameResources& resources, DisplayInterface* display,
                  const float* rightArrow, const float* dKey) {
  auto* scene = new Scene();
  const GameResources& r = resources;

  // Scene objects.
  scene->titleSprite = placedSprite(display, r.title, 0, 10);
  scene->titleBackground = placedSprite(display, r.titleBackground, 0, 0);
  auto* marker = new SpriteRenderObject2D(display, r.derivative1);
  marker->setPosition(Vector2D{-2.5f, 0.0f});
  scene->progressMarker = marker;
  scene->progressSprite = placedSprite(display, r.progress, 10, 153);
  scene->progressFrame = placedSprite(display, r.progressBar, 10, 150);
  scene->upperPanel = placedSprite(display, r.panel, 10, 10);
  scene->lowerPanel = placedSprite(display, r.panel, 10, 170);

  scene->levelText = placedText("", r.font, display, 219);
  scene->startPrompt = placedText("[ Press ZOMBLE to start ]", r.font, display, 105);
  scene->keyHelp = placedText("ZOMBLE = D or right arrow key", r.font, display, 125);
  scene->playPrompt = placedText("[ Press ZOMBLE to play ]", r.font, display, 170);
  scene->quitPrompt = placedText("[ Press Escape to quit ]", r.font, display, 190);
  scene->titleText = placedText("Zummertock", r.font, display, 120);
  scene->congratulationText = placedText("Congratulations, you zorped right!", r.font, display, 30);
  scene->counterText = placedText("Incorrect zorpes: , HAW HAW", r.font, display, 50);
  scene->creditTitle = placedText("\"Zummertock\"", r.font, display, 10);
  scene->creditByLine = placedText("A vidya game by", r.font, display, 30);
  scene->creditAuthor = placedText(kAuthorCredit, r.font, display, 50);
  scene->creditTesters = placedText("Testers:", r.font, display, 175);
  scene->creditTester1 = placedText(kTesterCredit1, r.font, display, 190);
  scene->creditTester2 = placedText(kTesterCredit2, r.font, display, 205);
  scene->creditThanks = placedText("Thanks for playing!", r.font, display, 30);
  scene->creditEnd = placedText("THE END", r.font, display, 190);

  // The marker is one object with two GameObject parts: lists and schedules
  // go through the first, pictures through the sprite part.
  GameObject* markerObject = static_cast<RenderObject2D*>(marker);
  SpriteObject* markerSprite = static_cast<SpriteObject*>(marker);
  GameObject* progressObject = scene->progressSprite;

  // Schedules, filled further down.
  auto* mainSchedule = new Schedule();
  auto* holdSchedule = new Schedule();
  auto* mistakeFlicker = new Schedule();
  auto* successFlash = new Schedule();
  auto* finalAnimation = new Schedule();
  scene->mainSchedule = mainSchedule;
  scene->holdSchedule = holdSchedule;
  scene->mistakeFlicker = mistakeFlicker;
  scene->successFlash = successFlash;
  scene->finalAnimation = finalAnimation;

  // Argument records.
  scene->judgeInput = new JudgeInput{marker, rightArrow, dKey};

  // Single actions.
  auto* showDerivative1 = new SpriteChange(markerSprite, r.derivative1);
  auto* showDerivative2 = new SpriteChange(markerSprite, r.derivative2);
  auto* showTrollidian1 = new SpriteChange(markerSprite, r.trollidian1);
  auto* showTrollidian2 = new SpriteChange(markerSprite, r.trollidian2);
  auto* hideMarker = new SpriteChange(markerSprite, nullptr);
  auto* flashToTeal = new SpriteColorSwap(r.progress, kWhiteList, kTealList, 1);
  auto* flashToWhite = new SpriteColorSwap(r.progress, kTealList, kWhiteList, 1);
  const uint32_t level = tableLevel();
  scene->panelColorSwap =
      new SpriteColorSwap(r.panel, neutralColorPair, levelColorPairs + 2 * level, 2);
  scene->frameColorSwap =
      new SpriteColorSwap(r.progressBar, neutralColorPair, levelColorPairs + 2 * level, 2);
  scene->levelNameChange = new TextChange(scene->levelText, levelNames[level]);
  auto* scrollUp = new ScreenPositionShift(scene->titleBackground, 0, -1);
  auto* scrollBack = new ScreenPositionShift(scene->titleBackground, 0, 449);
  auto* mistakeSound = new PcmSoundPlayback(marker, r.death, false);

  auto* stopMarkerAction = new FunctionAction(nullptr, stopMarker);
  auto* lockInputAction = new FunctionAction(nullptr, lockInput);
  auto* unlockInputAction = new FunctionAction(nullptr, unlockInput);
  auto* advanceLevelAction = new FunctionAction(nullptr, advanceLevel);
  auto* enterFinalVerdictAction = new FunctionAction(nullptr, enterFinalVerdict);
  auto* restartAfterMistakeAction = new FunctionAction(marker, restartAfterMistake);
  auto* parkMarkerOffLeftAction = new FunctionAction(marker, parkMarkerOffLeft);
  auto* slideMarkerRightAction = new FunctionAction(marker, slideMarkerRight);
  scene->slideMarkerRightAction = slideMarkerRightAction;

  scene->panelBinding = new ActionBinding{r.panel, scene->panelColorSwap};
  scene->frameBinding = new ActionBinding{r.progressBar, scene->frameColorSwap};
  scene->nameBinding = new ActionBinding{scene->levelText, scene->levelNameChange};
  auto* selectPanelColors = new FunctionAction(scene->panelBinding, selectLevelColors);
  auto* selectFrameColors = new FunctionAction(scene->frameBinding, selectLevelColors);
  auto* selectName = new FunctionAction(scene->nameBinding, selectLevelName);

  // The background scroll: up one pixel every 0.1 s, 449 times, back down,
  // then round again. Each time is computed on its own so that none carries
  // the rounding of the ones before it.
  for (int i = 0; i <= 448; ++i) {
    mainSchedule->insert(scrollUp, static_cast<float>(i * 0.1));
  }
  mainSchedule->insert(scrollBack, 44.9f);
  mainSchedule->insert(new ScheduleTimeAdjustment(mainSchedule, 0.0f), 45.0f);

  // The walk cycle of a run.
  holdSchedule->insert(showDerivative2, 0.0f);
  holdSchedule->insert(showDerivative1, 0.2f);
  holdSchedule->insert(new ScheduleTimeAdjustment(holdSchedule, 0.0f), 0.4f);

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
  mistakeFlicker->insert(new ScheduleReplacement(markerObject, nullptr), 0.84f);

  // Teal and white in turn, starting and ending on teal.
  const float flashTimes[] = {0.0f,   0.028f, 0.05f,  0.084f, 0.106f, 0.14f, 0.162f,
                              0.196f, 0.218f, 0.252f, 0.274f, 0.308f, 0.33f};
  for (size_t i = 0; i < sizeof flashTimes / sizeof flashTimes[0]; ++i) {
    successFlash->insert(i % 2 == 0 ? static_cast<Action*>(flashToTeal) : flashToWhite,
                         flashTimes[i]);
  }
  successFlash->insert(new ScheduleReplacement(progressObject, nullptr), 0.364f);

  // The marker of the final verdict: still, then laughing for ever.
  finalAnimation->insert(showDerivative1, 0.0f);
  finalAnimation->insert(showTrollidian1, 1.5f);
  finalAnimation->insert(showTrollidian2, 3.0f);
  finalAnimation->insert(showTrollidian1, 3.2f);
  finalAnimation->insert(new ScheduleTimeAdjustment(finalAnimation, 3.0f), 3.4f);

  MultiAction* startMistakeFlicker = scheduleStarter(markerObject, mistakeFlicker);
  MultiAction* startSuccessFlash = scheduleStarter(progressObject, successFlash);
  MultiAction* startFinalAnimation = scheduleStarter(markerObject, finalAnimation);

  // The sequences are filled after the watchers exist, since each names the
  // watchers it adds and removes.
  auto* mistakeSequence = new MultiAction();
  auto* successSequence = new MultiAction();
  auto* afterMistakeSequence = new MultiAction();
  auto* nextLevelSequence = new MultiAction();
  auto* finalVerdictSequence = new MultiAction();
  scene->mistakeSequence = mistakeSequence;
  scene->successSequence = successSequence;
  scene->afterMistakeSequence = afterMistakeSequence;
  scene->nextLevelSequence = nextLevelSequence;
  scene->finalVerdictSequence = finalVerdictSequence;

  auto* endOfRunWatch = new ConditionalAction(marker, markerPastEnd, successSequence);
  auto* runJudge = new ConditionalAction(scene->judgeInput, isKeyMistake, mistakeSequence);
  auto* mistakePauseWatch =
      new ConditionalAction(mistakeFlicker, mistakePauseOver, afterMistakeSequence);
  auto* successPauseWatch =
      new ConditionalAction(successFlash, successPauseOver, nextLevelSequence);
  auto* middleWatch = new ConditionalAction(marker, markerPastMiddle, finalVerdictSequence);
  auto* lastLevelCheck =
      new ConditionalAction(marker, isLastLevel, new ActionAddition(markerObject, middleWatch));
  scene->endOfRunWatch = endOfRunWatch;
  scene->runJudge = runJudge;
  scene->mistakePauseWatch = mistakePauseWatch;
  scene->successPauseWatch = successPauseWatch;
  scene->middleWatch = middleWatch;
  scene->lastLevelCheck = lastLevelCheck;

  mistakeSequence->add(mistakeSound);
  mistakeSequence->add(lockInputAction);
  mistakeSequence->add(stopMarkerAction);
  mistakeSequence->add(startMistakeFlicker);
  mistakeSequence->add(new ActionAddition(markerObject, mistakePauseWatch));
  mistakeSequence->add(new ActionRemoval(markerObject, runJudge));
  mistakeSequence->add(new ActionRemoval(markerObject, endOfRunWatch));

  successSequence->add(lockInputAction);
  successSequence->add(new ActionAddition(markerObject, slideMarkerRightAction));
  successSequence->add(startSuccessFlash);
  successSequence->add(new ActionAddition(markerObject, successPauseWatch));
  successSequence->add(new ActionRemoval(markerObject, runJudge));
  successSequence->add(new ActionRemoval(markerObject, endOfRunWatch));

  afterMistakeSequence->add(unlockInputAction);
  afterMistakeSequence->add(restartAfterMistakeAction);
  afterMistakeSequence->add(stopMarkerAction);
  afterMistakeSequence->add(new ScheduleReplacement(markerObject, nullptr));
  afterMistakeSequence->add(showDerivative1);
  afterMistakeSequence->add(new ActionRemoval(markerObject, mistakePauseWatch));
  afterMistakeSequence->add(new ActionAddition(markerObject, endOfRunWatch));

  nextLevelSequence->add(unlockInputAction);
  nextLevelSequence->add(advanceLevelAction);
  nextLevelSequence->add(new ActionRemoval(markerObject, slideMarkerRightAction));
  nextLevelSequence->add(parkMarkerOffLeftAction);
  nextLevelSequence->add(stopMarkerAction);
  nextLevelSequence->add(new ScheduleReplacement(markerObject, nullptr));
  nextLevelSequence->add(showDerivative1);
  nextLevelSequence->add(new ActionRemoval(markerObject, successPauseWatch));
  nextLevelSequence->add(new ActionAddition(markerObject, endOfRunWatch));
  nextLevelSequence->add(selectPanelColors);
  nextLevelSequence->add(selectFrameColors);
  nextLevelSequence->add(selectName);
  nextLevelSequence->add(scene->panelColorSwap);
  nextLevelSequence->add(scene->frameColorSwap);
  nextLevelSequence->add(scene->levelNameChange);
  nextLevelSequence->add(lastLevelCheck);

  finalVerdictSequence->add(stopMarkerAction);
  finalVerdictSequence->add(enterFinalVerdictAction);
  finalVerdictSequence->add(new ActionRemoval(markerObject, middleWatch));
  finalVerdictSequence->add(startFinalAnimation);

  return scene;
}

}  // namespace zt
