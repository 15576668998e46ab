#include "app/game.h"

#include <utility>
#include <vector>

#include "app/window_procedure.h"
#include "audio/ogg_clip.h"
#include "core/resource_files.h"
#include "scene/game_object.h"
#include "scene/image_file.h"
#include "scene/text.h"
#include "script/actions.h"

namespace zt {

Game::Game(Platform& platform, Renderer& display, const GameOptions& options)
    : platform_(platform), display_(display), session_(options.session) {
  loadResources(options.resourceBase);
  scene_ =
      buildScene(store_, ids_, resources_, SceneLinks{display_, speaker_, level_, keys_, clock_});
}

Game::~Game() {
  speaker_.closeSpeaker();
}

void Game::loadResources(const std::string& base) {
  namespace files = resource_files;
  const std::string folder = base + files::kFolder;
  const std::pair<const char*, Image**> pictures[] = {
      {files::kDerivative1, &resources_.derivative1},
      {files::kDerivative2, &resources_.derivative2},
      {files::kTrollidian1, &resources_.trollidian1},
      {files::kTrollidian2, &resources_.trollidian2},
      {files::kProgress, &resources_.progress},
      {files::kProgressBar, &resources_.progressBar},
      {files::kPanel, &resources_.panel},
      {files::kTitle, &resources_.title},
      {files::kTitleBackground, &resources_.titleBackground},
      {files::kGameOver, &resources_.gameOver},
  };
  for (const auto& [file, slot] : pictures) {
    *slot = store_.keep(loadImage(ids_.images, folder + file));
  }

  resources_.font = loadFont(store_, ids_, base);

  std::vector<std::string> paths;
  for (const char* clip : files::kClips) paths.push_back(folder + clip);
  std::vector<std::unique_ptr<SoundClip>> clips = loadSoundClips(speaker_, paths);
  SoundClip** slots[] = {&resources_.titleMusic, &resources_.gameMusic, &resources_.death,
                         &resources_.accept, &resources_.gameOverSound};
  for (size_t i = 0; i < clips.size(); ++i) *slots[i] = store_.keep(std::move(clips[i]));
}

void Game::start() {
  // A device that cannot be opened leaves the game silent, nothing else.
  const bool opened = speaker_.openSpeaker(speakerConfig_, platform_.waveDevice()) == 0;
  if (session_) session_->soundOpened(frames_, opened);
  scene_.progressMarker->addAction(scene_.endOfRunWatch);
  scene_.panelColorSwap->execute();
  scene_.frameColorSwap->execute();
  scene_.levelNameChange->execute();
  level_.markerSpeed = 0.0f;

  const double frequency = platform_.counterFrequency();
  clock_.counterFrequency = session_ ? session_->counterFrequency(frames_, frequency) : frequency;
  restartClock();
}

int64_t Game::readCounter() {
  const int64_t reading = platform_.counter();
  return session_ ? session_->counter(frames_, reading) : reading;
}

float Game::measureFrame() {
  return clock_.measureFrame(readCounter());
}

void Game::restartClock() {
  clock_.restart(readCounter());
}

uint32_t Game::playingSounds() {
  const uint32_t count = speaker_.playingSoundCount();
  return session_ ? session_->playingSounds(frames_, count) : count;
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
  if (session_) session_->message(frames_, message);
  handleWindowMessage(message, keys_, quitRequested_, platform_);
}

}  // namespace zt
