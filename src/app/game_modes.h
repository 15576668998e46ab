#pragma once

#include <cstdint>
#include <string>

namespace zt {

class Platform;
class Renderer;
struct Scene;
struct GameResources;
struct SpeakerConfig;

// State of the modes (main thread only).
extern int32_t gameMode;
extern double modeSeconds;

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

// Everything the modes work on, made by the assembly.
struct Game {
  Renderer* display = nullptr;
  GameResources* resources = nullptr;
  Scene* scene = nullptr;
};

// Loads the pictures, the font and the clips (paths prefixed by base) and
// builds the scene.
Game assembleGame(Renderer* display, const std::string& base);

// Opens the sound output, puts level 0's colours and name in place.
void startGame(Game& game, Platform& platform, const SpeakerConfig& speakerConfig);

// The current mode's work for one frame. False when the game must end now
// (Escape): the frame is abandoned and the process ends with status 0.
bool runModeFrame(Game& game, Platform& platform);

// Stops the mixer thread and waits for it.
void shutdownGame();

// The game the frame loop runs (for the headless runner's trace).
Game* currentGame();

}  // namespace zt
