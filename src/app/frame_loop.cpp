#include "app/frame_loop.h"

#include "scene/display_interface.h"

namespace zt {

GameEnd runGame(Platform& platform, Renderer& display, const GameOptions& options,
                FrameObserver* observer) {
  Game game(platform, display, options);
  display.initialize();
  game.start();

  GameEnd end;
  // There is no pacing: the loop runs as fast as presenting allows.
  while (!game.quitRequested()) {
    if (observer) observer->beforeFrame(end.frames, game);
    // Escape abandons the frame and ends the game at once.
    if (!game.runFrame()) break;
    const bool goOn = observer == nullptr || observer->afterFrame(end.frames, game);
    ++end.frames;
    if (!goOn) break;
  }

  // Nothing reads the status of a normal end; report success.
  end.status = 0;
  end.mode = game.modes().gameMode;
  end.level = game.level().currentLevel;
  end.incorrect = game.level().incorrectGuesses;
  if (options.session) options.session->end(end);
  return end;
}

}  // namespace zt
