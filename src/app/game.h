#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/keys.h"
#include "app/platform.h"
#include "app/session.h"
#include "audio/speaker.h"
#include "core/id_counter.h"
#include "core/loop_clock.h"
#include "core/store.h"
#include "rules/rules.h"
#include "rules/scene_script.h"

namespace zt {

class DisplayInterface;
class DrawingObject;
class GameObject;
class Renderer;

enum GameMode : int32_t {
  kModeTitle = 0,
  kModeTitleFlash = 1,
  kModeTitlePrompts = 2,
  kModeBlackPause = 3,
  kModePlay = 4,
  kModePauseBeforeCredits = 5,
  kModeCredits = 6,
  kModeGameOver = 7,
};

// Which of the eight modes the frame loop is in, and for how long.
struct ModeState {
  int32_t gameMode = kModeTitle;
  double modeSeconds = 0.0;  // time in the current timed mode
};

struct GameOptions {
  // Prefix of the "resources/..." paths: where the resources folder is.
  std::string resourceBase;
  // False: nothing is read, as if every file were missing (no pictures or
  // glyphs, silent clips); for running the game's logic alone.
  bool readResources = true;
  // What the game takes in from outside goes through it (a recording, a
  // replay); none: straight from the platform and the mixer.
  Session* session = nullptr;
};

// The whole game: everything it loads and builds, its state, and the frame
// loop's work. It owns all of it; the platform and the display are the
// backend's and outlive it. It calls down into them and is never called
// back: the platform's pump hands it the messages it took.
class Game final {
 public:
  // Start-up after the display is made: the sound configuration, the input,
  // the key state, then the assembly: the ten pictures, the font and the
  // five clips from options.resourceBase + "resources/", and the scene.
  Game(Platform& platform, Renderer& display, const GameOptions& options);
  // Stops the mixer thread, waits for it and lets the sound device go.
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // Game start, once the display is initialised: opens the sound output,
  // puts level 0's colours and name in place, starts the frame clock.
  void start();
  // One pass of the frame loop: settle the keys, the mode's work, then at
  // most one window message. False when the game ends at once (Escape):
  // the frame is abandoned.
  bool runFrame();
  // The window has gone or the game-over picture has had its time.
  bool quitRequested() const { return quitRequested_; }
  // Frames completed, message step included.
  uint64_t frames() const { return frames_; }

  // One message of the frame's message step (handleWindowMessage),
  // recorded when a session is attached.
  void handleMessage(const WindowMessage& message);

  const ModeState& modes() const { return modes_; }
  const LevelState& level() const { return level_; }
  const KeyState& keys() const { return keys_; }
  const LoopClock& clock() const { return clock_; }
  const Scene& scene() const { return scene_; }
  const GameResources& resources() const { return resources_; }
  uint32_t playingSoundCount() const { return speaker_.playingSoundCount(); }

 private:
  struct ModeSteps {
    bool clears;             // the frame starts with a clear
    bool (Game::*update)();  // false: Escape ends the game now
    void (Game::*draw)();
  };
  static const ModeSteps kModes[8];

  // The counter, through the session when there is one.
  int64_t readCounter();
  float measureFrame();
  void restartClock();
  // Sounds playing, as the game-over mode waits on them.
  uint32_t playingSounds();
  bool runModeFrame();

  bool updateTitle();
  bool updateTitleFlash();
  bool updateTitlePrompts();
  bool updateBlackPause();
  bool updatePlay();
  void updateSlideIn();
  void updatePlayPhase();
  bool updatePauseBeforeCredits();
  bool updateCredits();
  bool updateGameOver();
  void drawTitle();
  void drawTitleFlash();
  void drawTitlePrompts();
  void drawBlackPause();
  void drawPlay();
  void drawPauseBeforeCredits();
  void drawCredits();
  void drawGameOver();

  void setProgressWidth();
  void runActionLists();
  void finishFrame();

  Platform& platform_;
  Renderer& display_;
  LiveSession live_;
  Session& session_;  // the options' session, else live_

  Store store_;  // everything the assembly made
  RunningIds ids_;
  GameResources resources_;
  Scene scene_;

  const SpeakerConfig speakerConfig_{};  // the output's rate and channels
  SpeakerInterface speaker_;
  InputInterface input_;
  KeyState keys_;
  LoopClock clock_;
  ModeState modes_;
  LevelState level_;
  bool quitRequested_ = false;
  uint64_t frames_ = 0;
  std::vector<WindowMessage> messages_;  // the message step's, reused
};

}  // namespace zt
