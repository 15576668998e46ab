// The eight modes of the frame loop. Each mode's frame is an update (keys,
// clock, sounds, schedules, actions, the next mode) and a drawing of what
// the frame began in; modes that clear do so first, before the update may
// change the clear colour.
#include <initializer_list>
#include <sstream>

#include "app/game.h"
#include "core/image.h"
#include "scene/display_interface.h"
#include "scene/game_object.h"
#include "scene/text.h"
#include "script/actions.h"
#include "script/schedule.h"

namespace zt {

namespace {

void drawAll(std::initializer_list<DrawingObject*> objects) {
  for (DrawingObject* object : objects) object->draw();
}

void advanceSchedule(GameObject* object, float seconds) {
  if (Schedule* schedule = object->getSchedule()) schedule->advance(seconds);
}

}  // namespace

const Game::ModeSteps Game::kModes[8] = {
    {true, &Game::updateTitle, &Game::drawTitle},
    {true, &Game::updateTitleFlash, &Game::drawTitleFlash},
    {true, &Game::updateTitlePrompts, &Game::drawTitlePrompts},
    {true, &Game::updateBlackPause, &Game::drawBlackPause},
    {true, &Game::updatePlay, &Game::drawPlay},
    // The pause and the game-over picture draw over whatever the back
    // buffer still holds.
    {false, &Game::updatePauseBeforeCredits, &Game::drawPauseBeforeCredits},
    {true, &Game::updateCredits, &Game::drawCredits},
    {false, &Game::updateGameOver, &Game::drawGameOver},
};

bool Game::runModeFrame() {
  const int32_t mode = modes_.gameMode;
  if (mode < kModeTitle || mode > kModeGameOver) return true;  // does nothing
  const ModeSteps& steps = kModes[mode];
  if (steps.clears) display_.clear();
  if (!(this->*steps.update)()) return false;
  (this->*steps.draw)();
  return true;
}

void Game::finishFrame() {
  display_.endFrame();
  display_.present();
  platform_.showFrame();
}

// The filled part of the bar ends 10 logical pixels left of the marker.
void Game::setProgressWidth() {
  const Vector2D& position = scene_.progressMarker->getPosition();
  int64_t width = static_cast<int64_t>(worldToScreen(display_, position.x, position.y).x) - 10;
  if (width > 300) width = 300;
  if (width < 1) width = 1;
  narrowImage(resources_.progress, width);
}

// The marker's list holds the watchers of the run and its pauses, the judge
// among them while a run lasts. Each list is run from a copy, so an action
// may change the list it came from.
void Game::runActionLists() {
  for (Action* action : scene_.progressMarker->getActions()) action->execute();
  for (Action* action : scene_.progressSprite->getActions()) action->execute();
  // The rules say when the last level is over; the modes move on.
  if (level_.verdictReached) {
    level_.verdictReached = false;
    modes_.gameMode = kModePauseBeforeCredits;
  }
}

bool Game::updateTitle() {
  if (keys_.isPlayKeyPressed()) {
    speaker_.playSound(resources_.accept, false);
    modes_.gameMode = kModeTitleFlash;
    restartClock();
    setClearColor(&display_, &kBlack);
    swapColors(resources_.title, &kBlack, &kWhite, 1);
  }
  return !keys_.isEscapeHeld();
}

void Game::drawTitle() {
  drawAll({scene_.titleSprite, scene_.startPrompt, scene_.keyHelp});
  finishFrame();
}

bool Game::updateTitleFlash() {
  modes_.modeSeconds += measureFrame();
  if (modes_.modeSeconds > 0.075) {
    speaker_.playSound(resources_.titleMusic, true);
    modes_.gameMode = kModeTitlePrompts;
    setClearColor(&display_, &kBackgroundGrey);
    swapColors(resources_.title, &kWhite, &kTeal, 1);
    modes_.modeSeconds = 0.0;
  }
  return !keys_.isEscapeHeld();
}

void Game::drawTitleFlash() {
  scene_.titleSprite->draw();
  finishFrame();
}

bool Game::updateTitlePrompts() {
  if (keys_.isPlayKeyPressed()) {
    speaker_.playSound(resources_.accept, false);
    speaker_.stopSound(resources_.titleMusic);
    modes_.gameMode = kModeBlackPause;
    restartClock();
    setClearColor(&display_, &kBlack);
  }
  if (keys_.isEscapeHeld()) return false;
  scene_.mainSchedule->advance(measureFrame() * 4.0f);
  return true;
}

void Game::drawTitlePrompts() {
  drawAll({scene_.titleBackground, scene_.titleSprite, scene_.titleText, scene_.playPrompt,
           scene_.quitPrompt});
  finishFrame();
}

bool Game::updateBlackPause() {
  modes_.modeSeconds += measureFrame();
  if (modes_.modeSeconds > 1.0) {
    speaker_.playSound(resources_.gameMusic, true);
    modes_.gameMode = kModePlay;
    setClearColor(&display_, &kBackgroundGrey);
    modes_.modeSeconds = 0.0;
  }
  return !keys_.isEscapeHeld();
}

void Game::drawBlackPause() {
  finishFrame();
}

// Two phases, by where the marker is: sliding in from off screen, then
// waiting for and making runs from the bar's start.
bool Game::updatePlay() {
  if (static_cast<double>(scene_.progressMarker->getPosition().x) < kBarStart) {
    updateSlideIn();
  } else {
    updatePlayPhase();
  }
  return true;
}

// Neither the play key nor Escape counts while the marker slides in.
void Game::updateSlideIn() {
  Vector2D position = scene_.progressMarker->getPosition();
  const float frameSeconds = measureFrame();
  // Stored as a float, the clamp lies just above the bar's start, so the
  // next frame is in the play phase.
  float x = position.x + kMarkerRunSpeed * frameSeconds;
  if (x > kBarStart) x = static_cast<float>(kBarStart);
  position.x = x;
  scene_.progressMarker->setPosition(position);
  setProgressWidth();
  scene_.mainSchedule->advance(frameSeconds * 1.5f);
}

void Game::updatePlayPhase() {
  SpriteRenderObject2D* marker = scene_.progressMarker;
  Vector2D position = marker->getPosition();
  if (keys_.isPlayKeyPressed() && !level_.inputLocked) {
    // A run: the marker walks, and the judge joins its list until a mistake
    // or the end of the bar takes it out.
    level_.markerSpeed = kMarkerRunSpeed;
    scene_.holdSchedule->clock = 0.0f;
    scene_.holdSchedule->seek();
    marker->setSchedule(scene_.holdSchedule);
    marker->addAction(scene_.runJudge);
  }
  if (keys_.isEscapeHeld()) {
    // The rest of this frame still runs; the game-over mode takes over next.
    speaker_.stopSound(resources_.gameMusic);
    speaker_.playSound(resources_.gameOverSound, false);
    modes_.gameMode = kModeGameOver;
  }
  const float frameSeconds = measureFrame();
  position.x = position.x + frameSeconds * level_.markerSpeed;
  marker->setPosition(position);
  setProgressWidth();
  runActionLists();
  advanceSchedule(&marker->worldPart(), frameSeconds);
  advanceSchedule(scene_.progressSprite, frameSeconds);
  scene_.mainSchedule->advance(frameSeconds * 1.5f);
}

void Game::drawPlay() {
  drawAll({scene_.titleBackground, scene_.progressMarker, scene_.progressSprite,
           scene_.progressFrame, scene_.upperPanel, scene_.lowerPanel, scene_.levelText});
  finishFrame();
}

bool Game::updatePauseBeforeCredits() {
  const float frameSeconds = measureFrame();
  modes_.modeSeconds += frameSeconds;
  if (modes_.modeSeconds > 3.0) {
    modes_.gameMode = kModeCredits;
    setClearColor(&display_, &kCreditsGrey);
    std::ostringstream closing;
    closing << "Incorrect zorpes: " << level_.incorrectGuesses << ", HAW HAW";
    scene_.counterText->setText(closing.str());
    modes_.modeSeconds = 0.0;
  }
  if (keys_.isEscapeHeld()) return false;
  scene_.mainSchedule->advance(frameSeconds * 1.5f);
  return true;
}

void Game::drawPauseBeforeCredits() {
  drawAll({scene_.titleBackground, scene_.progressMarker});
  finishFrame();
}

bool Game::updateCredits() {
  if (keys_.isEscapeHeld()) return false;
  const float frameSeconds = measureFrame();
  runActionLists();
  advanceSchedule(&scene_.progressMarker->worldPart(), frameSeconds);
  modes_.modeSeconds += frameSeconds;
  return true;
}

void Game::drawCredits() {
  const Scene& s = scene_;
  s.progressMarker->draw();
  const double t = modes_.modeSeconds;
  if (t > 5 && t < 12) s.congratulationText->draw();
  if (t > 7 && t < 12) s.counterText->draw();
  if (t > 13 && t < 27) s.creditTitle->draw();
  if (t > 15 && t < 27) s.creditByLine->draw();
  if (t > 17 && t < 27) s.creditAuthor->draw();
  if (t > 21 && t < 27) drawAll({s.creditTesters, s.creditTester1, s.creditTester2});
  if (t > 29) drawAll({s.creditThanks, s.creditEnd});
  finishFrame();
}

bool Game::updateGameOver() {
  const float frameSeconds = measureFrame();
  if (playingSounds() == 0) {
    quitRequested_ = true;
    return true;
  }
  modes_.modeSeconds += frameSeconds;
  if (modes_.modeSeconds >= 3.0) quitRequested_ = true;
  return true;
}

// The picture shows until the sounds have ended or 3 seconds have passed.
void Game::drawGameOver() {
  if (quitRequested_) return;
  display_.drawImage(resources_.gameOver, 0, 0);
  finishFrame();
}

}  // namespace zt
