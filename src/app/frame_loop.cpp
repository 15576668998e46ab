#include "app/frame_loop.h"

#include "scene/display_interface.h"

namespace zt {

GameEnd runGame(Platform& platform, Renderer& display, const GameOptions& options,
                FrameObserver* observer) {
  Game game(platform, display, options);
  display.initialize();
  game.start();

  // There is no pacing: the loop runs as fast as presenting allows.
  while (!game.quitRequested()) {
    const uint64_t frame = game.frames();
    if (observer) observer->beforeFrame(frame, game);
    // Escape abandons the frame and ends the game at once.
    if (!game.runFrame()) break;
    if (observer && !observer->afterFrame(frame, game)) break;
  }

  GameEnd end;
  // Nothing reads the status of a normal end; report success.
  end.status = 0;
  end.frames = game.frames();
  end.mode = game.modes().gameMode;
  end.level = game.level().currentLevel;
  end.incorrect = game.level().incorrectGuesses;
  if (options.session) options.session->end(end);
  return end;
}

}  // namespace zt
