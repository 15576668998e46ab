// The browser program: the game on the web backend. The page loads the
// module and puts the resources into its file system, then calls zt_open:
// the recording, the canvas's context, the game assembled (every resource
// decoded, the scene built), while the start overlay waits. The player's
// first click, touch or key (browsers start sound only then) calls zt_start:
// the sound opens and from then on each animation frame runs one frame of
// the game. The functions here are what the page calls (page/contract.js
// binds them as Module.game).
#include <emscripten.h>

#include <cstdio>
#include <memory>

#include "platform/web/page_contract.h"
#include "platform/web/web_platform.h"
#include "program/program.h"
#include "program/strings.h"

namespace {

// Where the session is written, in the module's file system: the page
// offers it for download and to scripts.
constexpr const char* kRecording = "/zummertock-session.txt";

// The page calls back into plain functions: this is what they find.
struct Running {
  zt::WebBackend backend;
  std::unique_ptr<zt::Program> program;
  bool started = false;  // the player's gesture has come
};
Running* running = nullptr;

bool started() {
  return running && running->started;
}

void frame() {
  zt::WebPlatform& platform = running->backend.platform();
  if (platform.waiting()) return;
  if (running->program->runFrame()) return;
  emscripten_cancel_main_loop();
  const zt::GameEnd end = running->program->finish();
  zt_page_game_ended(end.status);
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int zt_open() {
  if (running) return 0;
  running = new Running;
  zt::ProgramOptions options;
  options.recordPath = kRecording;
  running->program = std::make_unique<zt::Program>(options);
  return running->program->open(running->backend) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int zt_start() {
  if (!running || !running->program->game() || running->started) return 0;
  running->started = true;
  running->program->start();
  emscripten_set_main_loop(frame, 0, false);
  return 1;
}

EMSCRIPTEN_KEEPALIVE int zt_key(int down, const char* code, const char* key, int modifiers) {
  if (!started()) return 0;
  return static_cast<int>(
      running->backend.platform().keyEvent(down != 0, code, key, static_cast<uint32_t>(modifiers)));
}

EMSCRIPTEN_KEEPALIVE void zt_touch(int id, int down, int control) {
  if (started()) {
    running->backend.platform().touchEvent(id, down != 0,
                                           static_cast<zt::PageInput::Control>(control));
  }
}

EMSCRIPTEN_KEEPALIVE void zt_lifecycle(int visible, int focused) {
  if (started()) running->backend.platform().pageChanged(visible != 0, focused != 0);
}

// Where the game stands, for the page's scripts: "frames mode level
// incorrect", or empty before the game has started.
EMSCRIPTEN_KEEPALIVE const char* zt_state() {
  static char state[64];
  state[0] = '\0';
  const zt::Game* game = started() ? running->program->game() : nullptr;
  if (game) {
    std::snprintf(state, sizeof state, "%llu %d %u %d",
                  static_cast<unsigned long long>(game->frames()), game->modes().gameMode,
                  game->level().currentLevel, game->level().incorrectGuesses);
  }
  return state;
}

EMSCRIPTEN_KEEPALIVE void zt_about_closed() {
  if (started()) running->backend.platform().aboutClosed();
}

}  // extern "C"

int main() {
  emscripten_set_window_title(ZT_WINDOW_TITLE);
  return zt_page_connect() ? 0 : 1;
}
