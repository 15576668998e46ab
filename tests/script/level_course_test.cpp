// The course of a level as the wiring runs it, driven the way the play phase
// of the game modes drives it, at a fixed frame time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "app/game_modes.h"
#include "app/keys.h"
#include "audio/speaker.h"
#include "rules/rules.h"
#include "scene/game_object.h"
#include "scene/image.h"
#include "script/action.h"
#include "script/scene_script.h"
#include "script/schedule.h"

namespace zt {
namespace {

constexpr float kDt = 1.0f / 60.0f;
constexpr double kBarStart = -1.8375;

std::unique_ptr<Image> row(std::vector<Color> colors) {
  return std::make_unique<Image>(static_cast<uint32_t>(colors.size()), 1,
                                 reinterpret_cast<const uint8_t*>(colors.data()));
}

Color pixel(const Image* image, size_t i) {
  const uint8_t* p = image->pixels.get() + 4 * i;
  return Color{p[0], p[1], p[2], p[3]};
}

class LevelCourseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGameState();
    resetSpeaker();
    gameMode = kModePlay;
    frameSeconds = 0.0f;
    currentKeys[kKeyRight] = 0.0f;
    currentKeys[kKeyD] = 0.0f;
  }

  // Builds the scene for a game starting on `level` and does the game start.
  void build(uint32_t level = 0) {
    currentLevel = level;
    res.derivative1 = d1.get();
    res.derivative2 = d2.get();
    res.trollidian1 = t1.get();
    res.trollidian2 = t2.get();
    res.progress = progress.get();
    res.progressBar = progressBar.get();
    res.panel = panel.get();
    res.death = &death;
    scene = buildScene(res, nullptr, &currentKeys[kKeyRight], &currentKeys[kKeyD]);
    marker = scene->progressMarker;
    marker->addAction(scene->endOfRunWatch);
    scene->panelColorSwap->execute();
    scene->frameColorSwap->execute();
    scene->levelNameChange->execute();
    markerSpeed = 0.0f;
  }

  float x() { return marker->getPosition().x; }
  Image* shown() { return marker->getImage(); }
  std::vector<Action*> list() { return marker->getActions(); }

  // One frame of the play mode: the slide-in, or the play phase with an
  // optional press of the play key.
  void playFrame(bool press = false, float dt = kDt) {
    frameSeconds = dt;
    Vector2D position = marker->getPosition();
    if (static_cast<double>(position.x) < kBarStart) {
      position.x = std::min(position.x + 2.0f * frameSeconds, -1.8375f);
      marker->setPosition(position);
      scene->mainSchedule->advance(frameSeconds * 1.5f);
      return;
    }
    if (press && !inputLocked) {
      markerSpeed = 2.0f;
      scene->holdSchedule->clock = 0.0f;
      scene->holdSchedule->seek();
      marker->setSchedule(scene->holdSchedule);
      marker->addAction(scene->runJudge);
    }
    position.x = position.x + frameSeconds * markerSpeed;
    marker->setPosition(position);
    runActionLists();
    if (Schedule* s = marker->getSchedule()) s->advance(frameSeconds);
    if (Schedule* s = scene->progressSprite->getSchedule()) s->advance(frameSeconds);
    scene->mainSchedule->advance(frameSeconds * 1.5f);
  }

  // One frame of the credits: both action lists and the marker's schedule.
  void creditsFrame(float dt = kDt) {
    frameSeconds = dt;
    runActionLists();
    if (Schedule* s = marker->getSchedule()) s->advance(frameSeconds);
  }

  void runActionLists() {
    for (Action* action : marker->getActions()) action->execute();
    for (Action* action : scene->progressSprite->getActions()) action->execute();
  }

  void slideIn() {
    for (int i = 0; i < 100 && static_cast<double>(x()) < kBarStart; ++i) playFrame();
    ASSERT_EQ(x(), -1.8375f);
  }

  // Runs a level that asks nothing (or holds the key) to its right guess and
  // through the success pause.
  void winLevel() {
    const uint32_t level = currentLevel;
    slideIn();
    currentKeys[kKeyRight] = 1.0f;
    playFrame(true);
    for (int i = 0; i < 400 && currentLevel == level; ++i) playFrame();
    currentKeys[kKeyRight] = 0.0f;
    ASSERT_EQ(currentLevel, level + 1);
  }

  std::unique_ptr<Image> d1 = row({{1, 0, 0, 255}});
  std::unique_ptr<Image> d2 = row({{2, 0, 0, 255}});
  std::unique_ptr<Image> t1 = row({{3, 0, 0, 255}});
  std::unique_ptr<Image> t2 = row({{4, 0, 0, 255}});
  std::unique_ptr<Image> progress = row({kWhite});
  std::unique_ptr<Image> progressBar = row({kBlack, kWhite});
  std::unique_ptr<Image> panel = row({kBlack, kWhite});
  SoundClip death;
  GameResources res;
  Scene* scene = nullptr;
  SpriteRenderObject2D* marker = nullptr;
};

TEST_F(LevelCourseTest, TheSceneIsBuiltInPlace) {
  build();
  EXPECT_EQ(marker->getPosition().x, -2.5f);
  EXPECT_EQ(marker->getPosition().y, 0.0f);
  EXPECT_EQ(shown(), d1.get());
  struct Placed {
    SpriteObject* sprite;
    Image* image;
    int32_t x, y;
  };
  for (const Placed& p : {Placed{scene->progressSprite, progress.get(), 10, 153},
                          Placed{scene->progressFrame, progressBar.get(), 10, 150},
                          Placed{scene->upperPanel, panel.get(), 10, 10},
                          Placed{scene->lowerPanel, panel.get(), 10, 170},
                          Placed{scene->titleBackground, nullptr, 0, 0},
                          Placed{scene->titleSprite, nullptr, 0, 10}}) {
    EXPECT_EQ(p.sprite->image, p.image);
    EXPECT_EQ(p.sprite->x, p.x);
    EXPECT_EQ(p.sprite->y, p.y);
  }

  const std::vector<std::pair<TextObject*, int32_t>> texts = {
      {scene->levelText, 219},         {scene->startPrompt, 105},   {scene->keyHelp, 125},
      {scene->playPrompt, 170},        {scene->quitPrompt, 190},    {scene->titleText, 120},
      {scene->congratulationText, 30}, {scene->counterText, 50},    {scene->creditTitle, 10},
      {scene->creditByLine, 30},       {scene->creditAuthor, 50},   {scene->creditTesters, 175},
      {scene->creditTester1, 190},     {scene->creditTester2, 205}, {scene->creditThanks, 30},
      {scene->creditEnd, 190}};
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].first->x, 160);
    EXPECT_EQ(texts[i].first->y, texts[i].second);
    if (i > 0) {
      EXPECT_EQ(texts[i].first->id, texts[i - 1].first->id + 1);
    }
  }
  EXPECT_EQ(scene->counterText->text, "Incorrect zorpes: , HAW HAW");
  EXPECT_EQ(scene->creditTitle->text, "\"Zummertock\"");

  // Our own credit lines must be drawable by the font and fit the screen.
  for (const char* line : {kAuthorCredit, kTesterCredit1, kTesterCredit2}) {
    EXPECT_LE(std::strlen(line), 30u) << line;
    for (const char* c = line; *c; ++c) {
      EXPECT_TRUE(*c >= 32 && *c <= 122 && !std::strchr("*<>@\\^_`", *c)) << line;
    }
  }
}

TEST_F(LevelCourseTest, TheBackgroundScrollsAndComesBack) {
  build();
  Schedule* main = scene->mainSchedule;
  int entries = 0;
  for (ScheduleEntry* e = main->first; e; e = e->next, ++entries) {
    if (entries <= 448) {
      EXPECT_EQ(e->time, static_cast<float>(entries * 0.1)) << entries;
    }
  }
  EXPECT_EQ(entries, 451);

  SpriteObject* background = scene->titleBackground;
  main->advance(44.85f);
  EXPECT_EQ(background->y, -449);
  main->advance(0.1f);
  EXPECT_EQ(background->y, 0);
  main->advance(0.1f);  // runs the rewind
  EXPECT_EQ(main->clock, 0.0f);
  EXPECT_EQ(background->y, 0);
  main->advance(0.01f);
  EXPECT_EQ(background->y, -1);
}

TEST_F(LevelCourseTest, AMistakePausesCountsAndPutsTheMarkerBack) {
  build();
  EXPECT_EQ(list(), std::vector<Action*>{scene->endOfRunWatch});
  EXPECT_EQ(pixel(panel.get(), 0), levelColorPairs[0]);
  EXPECT_EQ(pixel(progressBar.get(), 1), levelColorPairs[1]);
  EXPECT_EQ(scene->levelText->text, levelNames[0]);

  // A press during the slide-in starts nothing.
  currentKeys[kKeyRight] = 1.0f;
  playFrame(true);
  EXPECT_EQ(markerSpeed, 0.0f);
  slideIn();
  EXPECT_EQ(list(), std::vector<Action*>{scene->endOfRunWatch});

  playFrame(true);
  EXPECT_EQ(markerSpeed, 2.0f);
  EXPECT_EQ(x(), -1.8375f + kDt * 2.0f);
  EXPECT_EQ(marker->getSchedule(), scene->holdSchedule);
  EXPECT_EQ(list(), (std::vector<Action*>{scene->endOfRunWatch, scene->runJudge}));
  EXPECT_EQ(shown(), d2.get());
  for (int i = 1; i < 15; ++i) playFrame();
  EXPECT_EQ(shown(), d1.get());
  for (int i = 15; i < 26; ++i) playFrame();
  EXPECT_EQ(shown(), d2.get());  // the walk went round

  // A second press in the run restarts the walk but adds no second judge.
  playFrame(true);
  EXPECT_EQ(scene->holdSchedule->clock, kDt);
  EXPECT_EQ(list().size(), 2u);

  // Letting go on level 0 is a mistake.
  const uint32_t sounds = playingSoundCount();
  currentKeys[kKeyRight] = 0.0f;
  playFrame();
  const float stoppedAt = x();
  EXPECT_EQ(shown(), t2.get());
  EXPECT_TRUE(inputLocked);
  EXPECT_EQ(markerSpeed, 0.0f);
  EXPECT_EQ(list(), std::vector<Action*>{scene->mistakePauseWatch});
  EXPECT_EQ(marker->getSchedule(), scene->mistakeFlicker);
  EXPECT_EQ(incorrectGuesses, 0);
  EXPECT_EQ(playingSoundCount(), sounds + 1);

  bool hidden = false;
  int pauseFrames = 0;
  while (incorrectGuesses == 0 && pauseFrames < 200) {
    const double clockBefore = scene->mistakeFlicker->clock;
    const bool detachedBefore = marker->getSchedule() == nullptr;
    currentKeys[kKeyD] = pauseFrames == 10 ? 1.0f : 0.0f;
    playFrame(pauseFrames == 10);  // a press in the pause is ignored
    ++pauseFrames;
    hidden = hidden || shown() == nullptr;
    EXPECT_EQ(incorrectGuesses == 1, clockBefore >= 0.84) << pauseFrames;
    if (incorrectGuesses == 1) {
      EXPECT_TRUE(detachedBefore);
    }
    if (incorrectGuesses == 0) {
      EXPECT_EQ(x(), stoppedAt);
      EXPECT_EQ(markerSpeed, 0.0f);
      EXPECT_TRUE(inputLocked);
    }
  }
  EXPECT_TRUE(hidden);
  EXPECT_GE(pauseFrames * kDt, 0.84f);
  EXPECT_EQ(x(), -1.8375f);
  EXPECT_EQ(marker->getPosition().y, 0.0f);
  EXPECT_EQ(shown(), d1.get());
  EXPECT_EQ(marker->getSchedule(), nullptr);
  EXPECT_EQ(list(), std::vector<Action*>{scene->endOfRunWatch});
  EXPECT_FALSE(inputLocked);
  EXPECT_EQ(currentLevel, 0u);

  // The next run starts at once from the bar's start.
  currentKeys[kKeyD] = 1.0f;
  playFrame(true);
  EXPECT_EQ(x(), -1.8375f + kDt * 2.0f);
  EXPECT_EQ(markerSpeed, 2.0f);
}

TEST_F(LevelCourseTest, ARightGuessFlashesSlidesAndStartsTheNextLevel) {
  build();
  slideIn();
  currentKeys[kKeyD] = 1.0f;  // D alone is the play key too
  playFrame(true);
  float before = x();
  for (int i = 0; i < 200 && !inputLocked; ++i) {
    before = x();
    playFrame();
  }
  ASSERT_TRUE(inputLocked);
  EXPECT_GE(static_cast<double>(x()), 1.9);
  EXPECT_LT(static_cast<double>(before), 1.9);
  EXPECT_EQ(incorrectGuesses, 0);
  EXPECT_EQ(list(),
            (std::vector<Action*>{scene->slideMarkerRightAction, scene->successPauseWatch}));
  EXPECT_EQ(scene->progressSprite->getSchedule(), scene->successFlash);
  EXPECT_EQ(pixel(progress.get(), 0), kTeal);

  std::set<Image*> walk;
  bool white = false;
  int pauseFrames = 0;
  while (currentLevel == 0 && pauseFrames < 200) {
    const double clockBefore = scene->successFlash->clock;
    const float xBefore = x();
    currentKeys[kKeyD] = 0.0f;
    playFrame(pauseFrames == 3);
    ++pauseFrames;
    EXPECT_EQ(currentLevel == 1, clockBefore >= 0.364) << pauseFrames;
    if (currentLevel == 0) {
      EXPECT_NEAR(x() - xBefore, 4.0f * kDt, 1e-5);
      EXPECT_EQ(marker->getSchedule(), scene->holdSchedule);
      walk.insert(shown());
      white = white || pixel(progress.get(), 0) == kWhite;
    }
  }
  EXPECT_EQ(walk, (std::set<Image*>{d1.get(), d2.get()}));
  EXPECT_TRUE(white);
  EXPECT_EQ(pixel(progress.get(), 0), kTeal);
  EXPECT_EQ(scene->progressSprite->getSchedule(), nullptr);

  EXPECT_EQ(currentLevel, 1u);
  EXPECT_EQ(x(), -2.5f);
  EXPECT_EQ(markerSpeed, 0.0f);
  EXPECT_FALSE(inputLocked);
  EXPECT_EQ(marker->getSchedule(), nullptr);
  EXPECT_EQ(shown(), d1.get());
  EXPECT_EQ(list(), std::vector<Action*>{scene->endOfRunWatch});
  for (Image* picture : {panel.get(), progressBar.get()}) {
    EXPECT_EQ(pixel(picture, 0), levelColorPairs[2]);
    EXPECT_EQ(pixel(picture, 1), levelColorPairs[3]);
  }
  EXPECT_EQ(scene->levelText->text, "Half & Half");

  playFrame();  // the new level slides in
  EXPECT_EQ(x(), -2.5f + 2.0f * kDt);
}

TEST_F(LevelCourseTest, TheLastLevelEndsInTheMiddleOfTheBar) {
  build(16);
  EXPECT_EQ(pixel(panel.get(), 0), levelColorPairs[32]);
  EXPECT_EQ(scene->levelText->text, "Farewell!");
  winLevel();
  EXPECT_EQ(pixel(panel.get(), 0), kWhite);
  EXPECT_EQ(pixel(panel.get(), 1), kBlack);
  EXPECT_EQ(pixel(progressBar.get(), 0), kWhite);
  EXPECT_EQ(scene->levelText->text, std::string(30, 'Q'));
  EXPECT_EQ(list(), (std::vector<Action*>{scene->endOfRunWatch, scene->middleWatch}));

  slideIn();
  currentKeys[kKeyRight] = 1.0f;
  playFrame(true);
  float before = x();
  for (int i = 0; i < 200 && gameMode == kModePlay; ++i) {
    before = x();
    currentKeys[kKeyRight] = (i / 7) % 2 ? 1.0f : 0.0f;  // nothing is a mistake here
    playFrame();
  }
  ASSERT_EQ(gameMode, kModePauseBeforeCredits);
  EXPECT_GE(static_cast<double>(x()), -0.01);
  EXPECT_LT(static_cast<double>(before), -0.01);
  EXPECT_EQ(markerSpeed, 0.0f);
  EXPECT_EQ(incorrectGuesses, 0);
  EXPECT_EQ(list(), (std::vector<Action*>{scene->endOfRunWatch, scene->runJudge}));
  EXPECT_EQ(marker->getSchedule(), scene->finalAnimation);
  EXPECT_EQ(shown(), d1.get());

  // The credits: still for 1.5 s, then laughing every 0.2 s from 3.0 s on.
  const float stoppedAt = x();
  std::vector<Image*> shownAt;
  for (int i = 0; i < 240; ++i) {
    creditsFrame();
    shownAt.push_back(shown());
  }
  EXPECT_EQ(shownAt[80], d1.get());   // 1.35 s
  EXPECT_EQ(shownAt[100], t1.get());  // 1.68 s
  EXPECT_EQ(shownAt[185], t2.get());  // 3.1 s
  EXPECT_EQ(shownAt[197], t1.get());  // 3.3 s
  EXPECT_EQ(shownAt[209], t2.get());  // 3.5 s
  EXPECT_EQ(x(), stoppedAt);
  EXPECT_EQ(currentLevel, 17u);
}

TEST_F(LevelCourseTest, ALongFrameOnTheLastLevelLeavesTheLevelTablesAlone) {
  build(16);
  winLevel();
  slideIn();
  // One two-second frame carries the marker past the middle and the end.
  playFrame(true, 2.0f);
  EXPECT_GE(static_cast<double>(x()), 1.9);
  EXPECT_EQ(gameMode, kModePauseBeforeCredits);
  EXPECT_TRUE(inputLocked);

  creditsFrame();  // the success pause is long over: the level moves on
  EXPECT_EQ(currentLevel, 18u);
  EXPECT_EQ(scene->panelColorSwap->fromColors, levelColorPairs + 32);
  EXPECT_EQ(scene->panelColorSwap->toColors, levelColorPairs + 34);
  EXPECT_EQ(scene->frameColorSwap->toColors, levelColorPairs + 34);
  EXPECT_EQ(scene->levelNameChange->text, std::string(30, 'Q'));
  EXPECT_EQ(scene->levelText->text, std::string(30, 'Q'));
  EXPECT_EQ(pixel(panel.get(), 0), kWhite);
  EXPECT_EQ(pixel(panel.get(), 1), kBlack);
  for (int i = 0; i < 60; ++i) creditsFrame();
  EXPECT_EQ(currentLevel, 18u);
}

TEST_F(LevelCourseTest, APlayerWhoKnowsThePatternsWinsEveryLevel) {
  build();
  int frames = 0;
  for (; frames < 20000 && gameMode == kModePlay; ++frames) {
    bool press = false;
    const bool playPhase = static_cast<double>(x()) >= kBarStart;
    if (playPhase && markerSpeed == 0.0f && !inputLocked) {
      press = currentKeys[kKeyRight] == 0.0f;
      currentKeys[kKeyRight] = press ? 1.0f : 0.0f;
    } else if (playPhase && !inputLocked) {
      // Decide by where the judge will see the marker in this frame.
      switch (requirementAt(currentLevel, x() + kDt * markerSpeed)) {
        case Requirement::Held:
          currentKeys[kKeyRight] = 1.0f;
          break;
        case Requirement::Released:
          currentKeys[kKeyRight] = 0.0f;
          break;
        default:
          break;
      }
    }
    playFrame(press);
  }
  EXPECT_EQ(gameMode, kModePauseBeforeCredits);
  EXPECT_EQ(currentLevel, 17u);
  EXPECT_EQ(incorrectGuesses, 0);
  EXPECT_EQ(pixel(panel.get(), 0), kWhite);
  EXPECT_EQ(scene->levelText->text, levelNames[17]);
  EXPECT_LT(frames * kDt, 18 * 4.0f);
}

}  // namespace
}  // namespace zt
