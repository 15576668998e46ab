#include "app/frame_loop.h"

#include "app/game_modes.h"
#include "app/keys.h"
#include "app/platform.h"
#include "audio/speaker.h"
#include "display/display_interface.h"

namespace zt {

namespace {
uint64_t completedFrames = 0;
}

uint64_t framesRun() {
  return completedFrames;
}

void measureFrame(Platform& platform) {
  int64_t reading = platform.counter();
  // Neither clamped nor smoothed: a long frame moves everything by its
  // whole length.
  frameSeconds =
      static_cast<float>(static_cast<double>(reading - previousCount) / counterFrequency);
  previousCount = reading;
}

void restartClock(Platform& platform) {
  previousCount = platform.counter();
}

int32_t runGame(Platform& platform, const GameOptions& options) {
  // Everything made here lives until the process ends.
  auto* display = new Renderer(Vector2D{0.0f, 0.0f}, 4.0f, 3.0f);
  display->swapBuffers = [&platform] { platform.swapBuffers(); };

  static const SpeakerConfig speakerConfig{44100, 2};

  static InputInterface input;
  (void)input;
  resetKeys();

  // Static, like everything the game makes: it lives until the process ends,
  // so the modes' pointer to it stays valid and the leak checker sees the
  // whole scene as still in use.
  static Game game;
  game = assembleGame(display, options.resourceBase);
  display->initialize();
  startGame(game, platform, speakerConfig);

  counterFrequency = platform.counterFrequency();
  restartClock(platform);

  completedFrames = 0;
  while (!quitRequested) {
    platform.beforeFrame(completedFrames);
    settleKeysAtFrameStart();
    if (!runModeFrame(game, platform)) {
      // Escape: the frame is abandoned and the game ends at once.
      shutdownGame();
      return 0;
    }
    markKeysSettled();
    platform.pumpOneMessage();
    bool goOn = platform.afterFrame(completedFrames);
    ++completedFrames;
    if (!goOn) break;
  }

  shutdownGame();
  // Nothing reads the status of a normal end; report success.
  return 0;
}

}  // namespace zt
