#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/game.h"
#include "app/session.h"
#include "program/command_line.h"

namespace zt {

class Platform;
class Renderer;
class SessionRecorder;

// What a backend brings to the program: a window with its drawing context,
// the platform over it and the display that draws into it. The program
// drives it; it never calls the program back.
class Backend {
 public:
  virtual ~Backend() = default;
  // Makes the window and the display's context; false after a line on
  // standard error saying why. Called once, after the recording is open.
  virtual bool open() = 0;
  virtual Platform& platform() = 0;
  virtual Renderer& display() = 0;
  // The folder the program's file is in (empty when unknown): its
  // resources are looked for there too, after the working folder.
  virtual std::filesystem::path programFolder() { return {}; }
  // The prefix of the game's "resources/..." paths for the folder that holds
  // resources/ (empty: the working folder).
  virtual std::string resourceBase(const std::filesystem::path& folder);
};

// Watches the frames from outside the game (the headless runner: its keys,
// its trace and screenshots).
class FrameObserver {
 public:
  virtual ~FrameObserver() = default;
  // Before frame `frame` (counted from 0) starts.
  virtual void beforeFrame(uint64_t frame, const Game& game) {
    (void)frame;
    (void)game;
  }
  // After the frame and its message step. False ends the game as a closed
  // window would.
  virtual bool afterFrame(uint64_t frame, const Game& game) = 0;
};

struct ProgramOptions {
  // Where the session is written as it is played; empty: nowhere.
  std::filesystem::path recordPath;
  // Where the game's outside comes from instead of the machine (a replay);
  // a recording then writes what it hands the game.
  Session* source = nullptr;
  // The prefix of "resources/..."; unset: looked up (the working folder,
  // then beside the program).
  std::optional<std::string> resourceBase;
  FrameObserver* observer = nullptr;
};

// One run of the game as a program: the recording it writes, the game on a
// backend, the frames, the end. Programs with a loop of their own call
// runProgram; a host that calls back (the browser) calls these steps
// itself: open while the page loads, start at the player's first gesture,
// then a frame per callback.
class Program {
 public:
  explicit Program(ProgramOptions options);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Start-up up to the game's start, in this order: the recording (when
  // one is asked for), the backend's window and display, the game's
  // assembly (every picture, the font and the clips decoded, the scene
  // built), the display's state. False after a line on standard error
  // saying why; nothing of the game is made then.
  bool open(Backend& backend);
  // The game's start, once open: the sound output, level 0's colours and
  // name, the frame clock.
  void start();
  // One frame; false before the start and once the game is over (it quit,
  // or Escape ended it).
  bool runFrame();
  // The end: the recording's end line, the sound stopped. Its status is
  // the game's, or 1 when the recording could not be written in full.
  GameEnd finish();

  // Null until open has assembled the game.
  const Game* game() const { return game_.get(); }

 private:
  ProgramOptions options_;
  std::unique_ptr<SessionRecorder> recorder_;
  Session* session_ = nullptr;  // the recorder, or else the source
  std::unique_ptr<Game> game_;
  bool started_ = false;
  bool over_ = false;
};

// A program's whole run on a backend: a refused command line prints the
// usage (status 2); a recording that cannot be opened or a window that
// cannot be made stop it (status 1); else the game runs to its end.
int runProgram(Backend& backend, const ProgramArguments& arguments);

}  // namespace zt
