#include "app/game.h"

#include <utility>
#include <vector>

#include "app/window_procedure.h"
#include "scene/game_object.h"
#include "script/actions.h"

namespace zt {

Game::Game(Platform& platform, Renderer& display, const GameOptions& options)
    : platform_(platform), display_(display), session_(options.session ? *options.session : live_) {
  resources_ = options.readResources
                   ? loadGameResources(store_, ids_, speaker_, options.resourceBase)
                   : missingGameResources(store_, ids_, speaker_);
  scene_ =
      buildScene(store_, ids_, resources_, SceneLinks{display_, speaker_, level_, keys_, clock_});
}

Game::~Game() {
  speaker_.closeSpeaker();
}

void Game::start() {
  // A device that cannot be opened leaves the game silent, nothing else.
  const bool opened = speaker_.openSpeaker(speakerConfig_, platform_.waveDevice()) == 0;
  session_.soundOpened(frames_, opened);
  scene_.progressMarker->addAction(scene_.endOfRunWatch);
  scene_.panelColorSwap->execute();
  scene_.frameColorSwap->execute();
  scene_.levelNameChange->execute();
  level_.markerSpeed = 0.0f;

  clock_.counterFrequency = session_.counterFrequency(frames_, platform_.counterFrequency());
  restartClock();
}

int64_t Game::readCounter() {
  return session_.counter(frames_, platform_.counter());
}

float Game::measureFrame() {
  return clock_.measureFrame(readCounter());
}

void Game::restartClock() {
  clock_.restart(readCounter());
}

uint32_t Game::playingSounds() {
  return session_.playingSounds(frames_, speaker_.playingSoundCount());
}

bool Game::runFrame() {
  keys_.settleAtFrameStart();
  if (!runModeFrame()) return false;
  keys_.markSettled();
  messages_.clear();
  platform_.pumpOneMessage(messages_);
  for (const WindowMessage& message : messages_) handleMessage(message);
  ++frames_;
  return true;
}

void Game::handleMessage(const WindowMessage& message) {
  // The destroy message the Exit command brings about is the game's own
  // doing, and is not recorded.
  session_.message(frames_, message);
  handleWindowMessage(message, keys_, quitRequested_, platform_);
}

}  // namespace zt
