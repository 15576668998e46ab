#include "program/program.h"

#include <cstdio>
#include <utility>

#include "program/resource_folder.h"
#include "program/session_file.h"
#include "scene/display_interface.h"

namespace zt {

std::string Backend::resourceBase(const std::filesystem::path& folder) {
  return folder.empty() ? std::string() : folder.string() + "/";
}

Program::Program(ProgramOptions options) : options_(std::move(options)) {}

Program::~Program() = default;

bool Program::open(Backend& backend) {
  if (game_) return true;
  if (!options_.recordPath.empty()) {
    // Written down from the start, each line as it happens.
    recorder_ = SessionRecorder::open(options_.recordPath, options_.source);
    if (!recorder_) return false;
  }
  if (!backend.open()) return false;
  GameOptions game;
  session_ = recorder_ ? recorder_.get() : options_.source;
  game.session = session_;
  game.resourceBase =
      options_.resourceBase
          ? *options_.resourceBase
          : backend.resourceBase(findResourceFolder(resourceFolders(backend.programFolder())));
  game_ = std::make_unique<Game>(backend.platform(), backend.display(), game);
  backend.display().initialize();
  return true;
}

void Program::start() {
  if (!game_ || started_) return;
  started_ = true;
  game_->start();
  over_ = game_->quitRequested();
}

bool Program::runFrame() {
  if (over_ || !started_) return false;
  const uint64_t frame = game_->frames();
  FrameObserver* observer = options_.observer;
  if (observer) observer->beforeFrame(frame, *game_);
  // Escape abandons the frame and ends the game at once.
  over_ = !game_->runFrame() || (observer && !observer->afterFrame(frame, *game_)) ||
          game_->quitRequested();
  return !over_;
}

GameEnd Program::finish() {
  GameEnd end;
  if (game_) {
    // Nothing reads the status of a normal end; report success.
    end.frames = game_->frames();
    end.mode = game_->modes().gameMode;
    end.level = game_->level().currentLevel;
    end.incorrect = game_->level().incorrectGuesses;
    if (session_) session_->end(end);
    // The mixer stops and lets the device go before the program does.
    game_.reset();
  }
  over_ = true;
  if (recorder_ && !recorder_->close()) end.status = 1;
  return end;
}

int runProgram(Backend& backend, const ProgramArguments& arguments) {
  if (!arguments.ok) {
    std::fputs(kProgramUsage, stderr);
    return 2;
  }
  ProgramOptions options;
  options.recordPath = arguments.recordPath;
  Program program(options);
  if (!program.open(backend)) return 1;
  program.start();
  while (program.runFrame()) {
  }
  return program.finish().status;
}

}  // namespace zt
