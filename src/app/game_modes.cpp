#include "app/game_modes.h"

#include <initializer_list>
#include <sstream>

#include "app/frame_loop.h"
#include "app/keys.h"
#include "app/platform.h"
#include "audio/ogg_clip.h"
#include "audio/speaker.h"
#include "display/display_interface.h"
#include "rules/rules.h"
#include "scene/game_object.h"
#include "scene/image.h"
#include "scene/text.h"
#include "script/action.h"
#include "script/scene_script.h"
#include "script/schedule.h"

namespace zt {

namespace {

Game* runningGame = nullptr;

// The bar's left end, where a run starts.
constexpr double kBarStart = -1.8375;

void drawAll(std::initializer_list<DrawingObject*> objects) {
  for (DrawingObject* object : objects) object->draw();
}

void finishFrame(Game& game) {
  game.display->endFrame();
  game.display->present();
}

void runActions(GameObject* object) {
  for (Action* action : object->getActions()) action->execute();
}

void advanceSchedule(GameObject* object, float seconds) {
  if (Schedule* schedule = object->getSchedule()) schedule->advance(seconds);
}

// The filled part of the bar ends 10 logical pixels left of the marker.
void setProgressWidth(Game& game) {
  const Vector2D& position = game.scene->progressMarker->getPosition();
  int64_t width = static_cast<int64_t>(worldToScreen(*game.display, position.x, position.y).x) - 10;
  if (width > 300) width = 300;
  if (width < 1) width = 1;
  narrowImage(game.resources->progress, width);
}

void drawPlayScreen(Game& game) {
  Scene& s = *game.scene;
  drawAll({s.titleBackground, s.progressMarker, s.progressSprite, s.progressFrame, s.upperPanel,
           s.lowerPanel, s.levelText});
}

bool titleMode(Game& game, Platform& platform) {
  game.display->clear();
  if (isPlayKeyPressed()) {
    playSound(game.resources->accept, false);
    gameMode = kModeTitleFlash;
    restartClock(platform);
    setClearColor(game.display, &kBlack);
    swapColors(game.resources->title, &kBlack, &kWhite, 1);
  }
  if (isEscapeHeld()) return false;
  Scene& s = *game.scene;
  drawAll({s.titleSprite, s.startPrompt, s.keyHelp});
  finishFrame(game);
  return true;
}

bool titleFlashMode(Game& game, Platform& platform) {
  game.display->clear();
  measureFrame(platform);
  modeSeconds += frameSeconds;
  if (modeSeconds > 0.075) {
    playSound(game.resources->titleMusic, true);
    gameMode = kModeTitlePrompts;
    setClearColor(game.display, &kBackgroundGrey);
    swapColors(game.resources->title, &kWhite, &kTeal, 1);
    modeSeconds = 0.0;
  }
  if (isEscapeHeld()) return false;
  game.scene->titleSprite->draw();
  finishFrame(game);
  return true;
}

bool titlePromptsMode(Game& game, Platform& platform) {
  game.display->clear();
  if (isPlayKeyPressed()) {
    playSound(game.resources->accept, false);
    stopSound(game.resources->titleMusic);
    gameMode = kModeBlackPause;
    restartClock(platform);
    setClearColor(game.display, &kBlack);
  }
  if (isEscapeHeld()) return false;
  measureFrame(platform);
  game.scene->mainSchedule->advance(frameSeconds * 4.0f);
  Scene& s = *game.scene;
  drawAll({s.titleBackground, s.titleSprite, s.titleText, s.playPrompt, s.quitPrompt});
  finishFrame(game);
  return true;
}

bool blackPauseMode(Game& game, Platform& platform) {
  game.display->clear();
  measureFrame(platform);
  modeSeconds += frameSeconds;
  if (modeSeconds > 1.0) {
    playSound(game.resources->gameMusic, true);
    gameMode = kModePlay;
    setClearColor(game.display, &kBackgroundGrey);
    modeSeconds = 0.0;
  }
  if (isEscapeHeld()) return false;
  finishFrame(game);
  return true;
}

void slideInPhase(Game& game, Platform& platform) {
  Scene& s = *game.scene;
  game.display->clear();
  Vector2D position = s.progressMarker->getPosition();
  measureFrame(platform);
  // Stored as a float, the clamp lies just above the bar's start, so the
  // next frame is in the play phase.
  float x = position.x + 2.0f * frameSeconds;
  if (x > kBarStart) x = static_cast<float>(kBarStart);
  position.x = x;
  s.progressMarker->setPosition(position);
  setProgressWidth(game);
  s.mainSchedule->advance(frameSeconds * 1.5f);
  drawPlayScreen(game);
  finishFrame(game);
}

void playPhase(Game& game, Platform& platform) {
  Scene& s = *game.scene;
  SpriteRenderObject2D* marker = s.progressMarker;
  game.display->clear();
  Vector2D position = marker->getPosition();
  if (isPlayKeyPressed() && !inputLocked) {
    markerSpeed = 2.0f;
    s.holdSchedule->clock = 0.0f;
    s.holdSchedule->seek();
    marker->setSchedule(s.holdSchedule);
    marker->addAction(s.runJudge);
  }
  if (isEscapeHeld()) {
    // The rest of this frame still runs; mode 7 takes over from the next.
    stopSound(game.resources->gameMusic);
    playSound(game.resources->gameOverSound, false);
    gameMode = kModeGameOver;
  }
  measureFrame(platform);
  position.x = position.x + frameSeconds * markerSpeed;
  marker->setPosition(position);
  setProgressWidth(game);
  runActions(&marker->worldPart());
  runActions(s.progressSprite);
  advanceSchedule(&marker->worldPart(), frameSeconds);
  advanceSchedule(s.progressSprite, frameSeconds);
  s.mainSchedule->advance(frameSeconds * 1.5f);
  drawPlayScreen(game);
  finishFrame(game);
}

bool playMode(Game& game, Platform& platform) {
  if (static_cast<double>(game.scene->progressMarker->getPosition().x) < kBarStart) {
    slideInPhase(game, platform);
  } else {
    playPhase(game, platform);
  }
  return true;
}

bool pauseBeforeCreditsMode(Game& game, Platform& platform) {
  Scene& s = *game.scene;
  // No clear: this pause draws over whatever the back buffer still holds.
  measureFrame(platform);
  modeSeconds += frameSeconds;
  if (modeSeconds > 3.0) {
    gameMode = kModeCredits;
    setClearColor(game.display, &kCreditsGrey);
    std::ostringstream closing;
    closing << "Incorrect zorpes: " << incorrectGuesses << ", HAW HAW";
    s.counterText->setText(closing.str());
    modeSeconds = 0.0;
  }
  if (isEscapeHeld()) return false;
  s.mainSchedule->advance(frameSeconds * 1.5f);
  drawAll({s.titleBackground, s.progressMarker});
  finishFrame(game);
  return true;
}

bool creditsMode(Game& game, Platform& platform) {
  Scene& s = *game.scene;
  game.display->clear();
  if (isEscapeHeld()) return false;
  measureFrame(platform);
  runActions(&s.progressMarker->worldPart());
  runActions(s.progressSprite);
  advanceSchedule(&s.progressMarker->worldPart(), frameSeconds);
  s.progressMarker->draw();

  modeSeconds += frameSeconds;
  const double t = modeSeconds;
  if (t > 5 && t < 12) s.congratulationText->draw();
  if (t > 7 && t < 12) s.counterText->draw();
  if (t > 13 && t < 27) s.creditTitle->draw();
  if (t > 15 && t < 27) s.creditByLine->draw();
  if (t > 17 && t < 27) s.creditAuthor->draw();
  if (t > 21 && t < 27) drawAll({s.creditTesters, s.creditTester1, s.creditTester2});
  if (t > 29) drawAll({s.creditThanks, s.creditEnd});
  finishFrame(game);
  return true;
}

void gameOverMode(Game& game, Platform& platform) {
  // No clear: the picture goes over the last frame.
  measureFrame(platform);
  if (playingSoundCount() == 0) {
    quitRequested = true;
    return;
  }
  modeSeconds += frameSeconds;
  if (modeSeconds < 3.0) {
    game.display->drawImage(game.resources->gameOver, 0, 0);
    finishFrame(game);
  } else {
    quitRequested = true;
  }
}

}  // namespace

Game assembleGame(Renderer* display, const std::string& base) {
  auto* resources = new GameResources;
  const std::pair<const char*, Image**> pictures[] = {
      {"resources/derivative1.png", &resources->derivative1},
      {"resources/derivative2.png", &resources->derivative2},
      {"resources/trollidian1.png", &resources->trollidian1},
      {"resources/trollidian2.png", &resources->trollidian2},
      {"resources/progress.png", &resources->progress},
      {"resources/progressbar.png", &resources->progressBar},
      {"resources/panel.png", &resources->panel},
      {"resources/title.png", &resources->title},
      {"resources/titlebg.png", &resources->titleBackground},
      {"resources/gameover.png", &resources->gameOver},
  };
  for (const auto& [file, slot] : pictures) *slot = loadImage(base + file);

  resources->font = loadFont(base);

  std::vector<SoundClip*> clips = loadSoundClips({
      base + "resources/painting_with_gasoline.ogg",
      base + "resources/intention_ignited.ogg",
      base + "resources/death.ogg",
      base + "resources/accept.ogg",
      base + "resources/gameover.ogg",
  });
  resources->titleMusic = clips[0];
  resources->gameMusic = clips[1];
  resources->death = clips[2];
  resources->accept = clips[3];
  resources->gameOverSound = clips[4];

  Scene* scene = buildScene(*resources, display, &currentKeys[kKeyRight], &currentKeys[kKeyD]);
  return Game{display, resources, scene};
}

void startGame(Game& game, Platform& platform, const SpeakerConfig& speakerConfig) {
  runningGame = &game;
  // A device that cannot be opened leaves the game silent, nothing else.
  openSpeaker(speakerConfig, platform.waveDevice());
  Scene& s = *game.scene;
  s.progressMarker->addAction(s.endOfRunWatch);
  s.panelColorSwap->execute();
  s.frameColorSwap->execute();
  s.levelNameChange->execute();
  markerSpeed = 0.0f;
}

bool runModeFrame(Game& game, Platform& platform) {
  switch (gameMode) {
    case kModeTitle:
      return titleMode(game, platform);
    case kModeTitleFlash:
      return titleFlashMode(game, platform);
    case kModeTitlePrompts:
      return titlePromptsMode(game, platform);
    case kModeBlackPause:
      return blackPauseMode(game, platform);
    case kModePlay:
      return playMode(game, platform);
    case kModePauseBeforeCredits:
      return pauseBeforeCreditsMode(game, platform);
    case kModeCredits:
      return creditsMode(game, platform);
    case kModeGameOver:
      gameOverMode(game, platform);
      return true;
    default:
      return true;  // an unknown mode does nothing
  }
}

void shutdownGame() {
  stopMixer();
}

Game* currentGame() {
  return runningGame;
}

}  // namespace zt
