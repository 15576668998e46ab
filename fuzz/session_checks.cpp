#include "session_checks.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "app/game.h"
#include "audio/wave_device.h"
#include "doubles.h"
#include "program/session_file.h"
#include "replay/session_replay.h"

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

// How many of the device's blocks a span of seconds plays.
uint64_t blocksIn(double seconds) {
  return static_cast<uint64_t>(seconds * kOutputRate / kBlockFrames);
}

struct ReplayRun {
  GameEnd end;
  std::string failure;   // the runner's verdict at the end
  std::string problem;   // what the platform saw go wrong
  std::string recorded;  // the session as the game was handed it
};

// The runner's --replay with --record, on a platform set up as the
// runner's headless one is for a replay: the posted messages, one message
// step a frame; a counter that stands still (the replay's clock is the
// game's) at the frequency of the frame time; a sound device that opens
// as it did in the recording and, at each present, plays up to the
// replay's time. The real game, without its resources (no pictures, silent
// clips), and the program's frame loop, the runner posting the recorded
// messages before each frame and stopping at the replay's first problem or
// its last frame.
ReplayRun replay(LoadedRecording& recording) {
  SessionReplay& replay = *recording.replay;
  ReplayRun run;
  test::SteppedPlatform platform;
  platform.frequency = 1.0 / kFrameSeconds;
  platform.device.mixingBy = WaveDevice::Mixing::DrivenByDevice;  // no mixer thread
  platform.device.canOpen = replay.soundDevice();
  double played = 0.0;
  uint64_t blocksPlayed = 0;
  platform.onShowFrame = [&] {
    // The device plays from where it was to now: time that went back would
    // be played again, and time without bound played for ever.
    const double now = replay.seconds();
    if (run.problem.empty() && !(now >= played && now <= kMaxReplaySeconds)) {
      run.problem = "the sound device was taken from " + std::to_string(played) + " s to " +
                    std::to_string(now) + " s";
    }
    played = now;
    if (!run.problem.empty()) return;
    for (; blocksPlayed < blocksIn(now); ++blocksPlayed) platform.device.handBack();
  };
  test::RecordingDisplay display;  // no pictures: nothing is placed
  char* buffer = nullptr;
  size_t size = 0;
  SessionRecorder recorder(open_memstream(&buffer, &size), "the recording", &replay);
  GameOptions options;
  options.session = &recorder;
  options.readResources = false;
  auto game = std::make_unique<Game>(platform, display, options);
  game->start();
  const uint64_t maxFrames = std::min(kMaxFrames, recording.frames);
  size_t next = 0;
  for (bool over = game->quitRequested(); !over;) {
    const uint64_t frame = game->frames();
    while (next < recording.messages.size() && recording.messages[next].frame <= frame) {
      const ScriptEvent& event = recording.messages[next++];
      platform.post(event.message, event.withPrevious);
    }
    over = !game->runFrame() || !replay.problem().empty() || frame + 1 >= maxFrames ||
           game->quitRequested();
  }
  run.end.frames = game->frames();
  run.end.mode = game->modes().gameMode;
  run.end.level = game->level().currentLevel;
  run.end.incorrect = game->level().incorrectGuesses;
  recorder.end(run.end);
  game.reset();
  const bool written = recorder.close();
  run.recorded.assign(buffer, size);
  std::free(buffer);
  if (!written && run.problem.empty()) run.problem = "the recording could not be written";
  run.failure = replayFailure(replay, run.end);
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
