#include "session_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/game.h"
#include "app/message_queue.h"
#include "app/window_procedure.h"
#include "core/keys.h"
#include "core/loop_clock.h"
#include "program/session_file.h"
#include "replay/session_replay.h"
#include "rules/rules.h"

namespace zt::fuzz {

namespace {

using Words = std::vector<std::string>;

// The runner's own limit (its --frames default): a recording may say its
// game went on for ever, and idle frames ask nothing that could stop it.
constexpr uint64_t kMaxFrames = 100000;
// The runner's frame time: its counter's frequency is the game's when the
// recording holds none.
constexpr double kFrameSeconds = 1.0 / 60.0;

// The text's lines as the parser reads them.
std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Words wordsOf(const std::string& text) {
  Words words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// The line an error names ("line 12: why"), 0 when it names none of the
// text's lines.
size_t errorLine(const std::string& error, size_t lineCount) {
  const size_t colon = error.find(": ");
  if (error.rfind("line ", 0) != 0 || colon == std::string::npos || colon + 2 == error.size()) {
    return 0;
  }
  const std::string digits = error.substr(5, colon - 5);
  if (digits.empty() || digits.size() > 9 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return 0;
  }
  const size_t line = std::stoul(digits);
  return line <= lineCount ? line : 0;
}

std::string checkParseError(const std::vector<std::string>& lines, const std::string& error) {
  const size_t line = errorLine(error, lines.size());
  if (line == 0) return "a refused recording, and no line of it named: " + error;
  std::string before;
  for (size_t i = 0; i + 1 < line; ++i) before += lines[i] + "\n";
  SessionFile file;
  std::string earlier;
  if (!parseSession(before, file, earlier)) {
    return "'" + error + "', but the lines before it do not parse either: " + earlier;
  }
  return "";
}

// A whole number's digits without leading zeros, and no sign on zero:
// "007" says what "7" says. Other words as they are.
std::string canonical(const std::string& word) {
  const size_t sign = word[0] == '-' ? 1 : 0;
  if (word.size() == sign || word.find_first_not_of("0123456789", sign) != std::string::npos) {
    return word;
  }
  const std::string digits =
      word.substr(std::min(word.find_first_not_of('0', sign), word.size() - 1));
  return sign && digits != "0" ? "-" + digits : digits;
}

// Whether a written line says what the input's line said: the same words,
// whole numbers by their value, and the word at `real` as a real number.
bool sameMeaning(const Words& input, const Words& written, size_t real) {
  if (input.size() != written.size()) return false;
  for (size_t i = 0; i < input.size(); ++i) {
    if (canonical(input[i]) == canonical(written[i])) continue;
    if (i != real ||
        std::strtod(input[i].c_str(), nullptr) != std::strtod(written[i].c_str(), nullptr)) {
      return false;
    }
  }
  return true;
}

std::string checkRoundTrip(const std::vector<std::string>& lines, const SessionFile& file) {
  std::string written;
  int previous = 0;
  for (const SessionEvent& event : file.events) {
    if (event.line <= previous || static_cast<size_t>(event.line) > lines.size()) {
      return "an event at line " + std::to_string(event.line) + " after line " +
             std::to_string(previous);
    }
    previous = event.line;
    const std::string& input = lines[static_cast<size_t>(event.line) - 1];
    const std::string line = sessionLine(event);
    const size_t real = event.kind == SessionEvent::Kind::Frequency ? 2 : std::string::npos;
    if (!sameMeaning(wordsOf(input.substr(0, input.find('#'))), wordsOf(line), real)) {
      return "line " + std::to_string(event.line) + " '" + input + "' written back as '" + line +
             "'";
    }
    written += line + "\n";
  }
  if (file.end) {
    const auto input = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
      const Words words = wordsOf(line);
      return words.size() > 1 && words[0] == "#" && words[1] == "end";
    });
    if (input == lines.end()) return "an end, and no end line";
    const std::string line = endLine(*file.end);
    if (!sameMeaning(wordsOf(*input), wordsOf(line), std::string::npos)) {
      return "the end line '" + *input + "' written back as '" + line + "'";
    }
    written += line + "\n";
  }

  SessionFile again;
  std::string error;
  if (!parseSession(written, again, error)) return "written back, it does not parse: " + error;
  bool same =
      again.events.size() == file.events.size() && again.end.has_value() == file.end.has_value();
  for (size_t i = 0; same && i < file.events.size(); ++i) {
    same = again.events[i].kind == file.events[i].kind &&
           sessionLine(again.events[i]) == sessionLine(file.events[i]);
  }
  if (same && file.end) same = endLine(*again.end) == endLine(*file.end);
  return same ? "" : "written back and read again, it is another session";
}

// The headless platform as the runner sets it up for a replay: the posted
// messages, one message step a frame; a counter that stands still (the
// replay's clock is the game's) at the frequency of the frame time; and
// at each present, the sound device played up to the replay's time.
class ReplayPlatform final : public Platform {
 public:
  explicit ReplayPlatform(const SessionReplay& replay) : replay_(replay) {}

  void post(const ScriptEvent& event) { queue_.post(event.message, event.withPrevious); }

  bool pumpOneMessage(std::vector<WindowMessage>& taken) override { return queue_.takeStep(taken); }
  void showFrame() override {
    // The device plays from where it was to now: time that went back would
    // be played again, and time without bound played for ever.
    const double now = replay_.seconds();
    if (problem_.empty() && !(now >= played_ && now <= kMaxReplaySeconds)) {
      problem_ = "the sound device was taken from " + std::to_string(played_) + " s to " +
                 std::to_string(now) + " s";
    }
    played_ = now;
  }
  int64_t counter() override { return 0; }
  double counterFrequency() override { return 1.0 / kFrameSeconds; }
  void runAboutBox() override {}
  WaveDevice* waveDevice() override { return nullptr; }

  const std::string& problem() const { return problem_; }

 private:
  const SessionReplay& replay_;
  MessageQueue queue_;
  double played_ = 0.0;
  std::string problem_;
};

// What the game asks of its session, in the order and the frames it asks
// (Game::start, then each frame's mode as game_modes.cpp runs it and the
// message step), through the game's own key state, window procedure and
// loop clock. It draws, plays and judges nothing: a run, its mistakes, the
// levels and the credits are the rules', so its play mode lasts until
// Escape, and the marker slides in once. The mixer's count, where the
// recording has none, is 0, as once every sound has ended.
class GameStandIn {
 public:
  GameStandIn(Platform& platform, Session& session) : platform_(platform), session_(session) {}

  void start(bool soundDevice) {
    session_.soundOpened(frames_, soundDevice);
    clock_.counterFrequency = session_.counterFrequency(frames_, platform_.counterFrequency());
    restartClock();
  }

  bool runFrame() {
    keys_.settleAtFrameStart();
    if (!runModeFrame()) return false;
    keys_.markSettled();
    messages_.clear();
    platform_.pumpOneMessage(messages_);
    for (const WindowMessage& message : messages_) {
      session_.message(frames_, message);
      handleWindowMessage(message, keys_, quitRequested_, platform_);
    }
    ++frames_;
    return true;
  }

  bool quitRequested() const { return quitRequested_; }
  uint64_t frames() const { return frames_; }
  GameEnd end() const {
    GameEnd end;
    end.frames = frames_;
    end.mode = mode_;
    return end;
  }

 private:
  int64_t readCounter() { return session_.counter(frames_, platform_.counter()); }
  float measureFrame() { return clock_.measureFrame(readCounter()); }
  void restartClock() { clock_.restart(readCounter()); }

  // The mode's update and, unless it ended the game, its present. False
  // when Escape abandons the frame.
  bool runModeFrame() {
    switch (mode_) {
      case kModeTitle:
        if (keys_.isPlayKeyPressed()) {
          mode_ = kModeTitleFlash;
          restartClock();
        }
        if (keys_.isEscapeHeld()) return false;
        break;
      case kModeTitleFlash:
        modeSeconds_ += measureFrame();
        if (modeSeconds_ > 0.075) {
          mode_ = kModeTitlePrompts;
          modeSeconds_ = 0.0;
        }
        if (keys_.isEscapeHeld()) return false;
        break;
      case kModeTitlePrompts:
        if (keys_.isPlayKeyPressed()) {
          mode_ = kModeBlackPause;
          restartClock();
        }
        if (keys_.isEscapeHeld()) return false;
        measureFrame();
        break;
      case kModeBlackPause:
        modeSeconds_ += measureFrame();
        if (modeSeconds_ > 1.0) {
          mode_ = kModePlay;
          modeSeconds_ = 0.0;
        }
        if (keys_.isEscapeHeld()) return false;
        break;
      case kModePlay:
        updatePlay();
        break;
      default:  // game over
        if (updateGameOver()) return true;
        break;
    }
    platform_.showFrame();
    return true;
  }

  void updatePlay() {
    // Escape counts once the marker has slid in.
    if (static_cast<double>(markerX_) < kBarStart) {
      float x = markerX_ + kMarkerRunSpeed * measureFrame();
      if (x > kBarStart) x = static_cast<float>(kBarStart);
      markerX_ = x;
      return;
    }
    if (keys_.isEscapeHeld()) mode_ = kModeGameOver;
    measureFrame();
  }

  // True once the game-over picture has had its time: nothing is shown.
  bool updateGameOver() {
    const float frameSeconds = measureFrame();
    if (session_.playingSounds(frames_, 0) == 0) {
      quitRequested_ = true;
    } else {
      modeSeconds_ += frameSeconds;
      if (modeSeconds_ >= 3.0) quitRequested_ = true;
    }
    return quitRequested_;
  }

  Platform& platform_;
  Session& session_;
  KeyState keys_;
  LoopClock clock_;
  int32_t mode_ = kModeTitle;
  double modeSeconds_ = 0.0;
  float markerX_ = kMarkerParked;
  bool quitRequested_ = false;
  uint64_t frames_ = 0;
  std::vector<WindowMessage> messages_;
};

struct ReplayRun {
  GameEnd end;
  std::string failure;   // the runner's verdict at the end
  std::string problem;   // what the platform saw go wrong
  std::string recorded;  // the session as the game was handed it
};

// The runner's --replay with --record: the program's frame loop, the
// runner posting the recorded messages before each frame and stopping at
// the replay's first problem or its last frame.
ReplayRun replay(LoadedRecording& recording) {
  SessionReplay& replay = *recording.replay;
  ReplayPlatform platform(replay);
  ReplayRun run;
  char* buffer = nullptr;
  size_t size = 0;
  SessionRecorder recorder(open_memstream(&buffer, &size), "the recording", &replay);
  GameStandIn game(platform, recorder);
  const uint64_t maxFrames = std::min(kMaxFrames, recording.frames);
  game.start(replay.soundDevice());
  size_t next = 0;
  for (bool over = game.quitRequested(); !over;) {
    const uint64_t frame = game.frames();
    while (next < recording.messages.size() && recording.messages[next].frame <= frame) {
      platform.post(recording.messages[next++]);
    }
    over = !game.runFrame() || !replay.problem().empty() || frame + 1 >= maxFrames ||
           game.quitRequested();
  }
  run.end = game.end();
  recorder.end(run.end);
  if (!recorder.close()) run.problem = "the recording could not be written";
  run.recorded.assign(buffer, size);
  std::free(buffer);
  run.failure = replayFailure(replay, run.end);
  if (run.problem.empty()) run.problem = platform.problem();
  return run;
}

}  // namespace

std::string checkSession(const std::string& text) {
  const std::vector<std::string> lines = linesOf(text);
  SessionFile file;
  std::string error;
  if (!parseSession(text, file, error)) return checkParseError(lines, error);
  if (std::string problem = checkRoundTrip(lines, file); !problem.empty()) return problem;

  LoadedRecording recording;
  if (!loadRecording(text, recording, error)) {
    // It parses: what is left to refuse it for is its frame order.
    return errorLine(error, lines.size()) ? "" : "a refused recording, and no line named: " + error;
  }
  const ReplayRun first = replay(recording);
  if (!first.problem.empty()) return first.problem;

  LoadedRecording again;
  if (!loadRecording(first.recorded, again, error)) {
    return "the replay's own recording is refused: " + error;
  }
  const ReplayRun second = replay(again);
  if (!second.problem.empty()) return "replaying the replay's own recording: " + second.problem;
  if (!second.failure.empty()) return "the replay's own recording: " + second.failure;
  if (second.recorded != first.recorded) {
    return "the replay's own recording, replayed and recorded, became another:\n" + first.recorded +
           "----\n" + second.recorded;
  }
  return "";
}

std::string checkSessionFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot read " + path;
  std::ostringstream text;
  text << in.rdbuf();
  return checkSession(text.str());
}

}  // namespace zt::fuzz
