#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/session.h"
#include "program/session_file.h"

namespace zt {

// A message the runner posts before a frame runs.
struct ScriptEvent {
  uint64_t frame = 0;
  WindowMessage message;
  bool withPrevious = false;  // handled in the same message step as the one before
};

// How far a replay follows the game's time from its first clock reading.
// The whole game takes a minute and a half; the headless sound device plays
// every second the clock moves on (an hour is half a second of mixing, and
// 600 MB kept for --wav), so a recording's clock is not followed without
// end.
constexpr double kMaxReplaySeconds = 3600.0;

// A recorded session played back into the game: the recorded counter
// frequency, clock readings and mixer reads instead of the machine's, each
// checked against the frame the game asks in. The runner posts the
// recorded messages at their frames.
class SessionReplay : public Session {
 public:
  explicit SessionReplay(SessionFile file);

  // Whether the sound device opened in the session.
  bool soundDevice() const { return soundDevice_; }
  const std::optional<GameEnd>& recordedEnd() const { return file_.end; }
  // The last frame the recording holds a clock reading for (0 if none).
  uint64_t lastClockFrame() const;
  // The game's time: seconds from the first clock reading to the latest
  // one it was given.
  double seconds() const;
  // Empty while the game asks for what the recording holds; else the first
  // place it did not, or the first clock reading that goes back or past
  // kMaxReplaySeconds (the game gets the reading before it). Past the end
  // of a recording cut short, the game gets the last values (its clock
  // stands still) and that is no problem.
  const std::string& problem() const { return problem_; }

  double counterFrequency(uint64_t frame, double live) override;
  int64_t counter(uint64_t frame, int64_t live) override;
  bool soundOpened(uint64_t frame, bool live) override;
  uint32_t playingSounds(uint64_t frame, uint32_t live) override;
  void message(uint64_t, const WindowMessage&) override {}
  void end(const GameEnd&) override {}

 private:
  // The next recorded event of a kind for `frame`, consumed; null (and the
  // problem noted) when the recording holds none there.
  const SessionEvent* take(SessionEvent::Kind kind, uint64_t frame, const char* what);

  SessionFile file_;
  std::vector<size_t> next_;  // per kind: where its next event is looked for
  bool soundDevice_ = true;
  double frequency_ = 1.0;
  bool haveReading_ = false;
  int64_t firstReading_ = 0;
  int64_t lastReading_ = 0;
  std::string problem_;
};

// A recording made ready to replay.
struct LoadedRecording {
  std::vector<ScriptEvent> messages;  // each at the frame that handled it
  std::unique_ptr<SessionReplay> replay;
  uint64_t frames = 1;  // how far it goes (at least one frame)
};

// Parses a recording; false, with error naming the line ("line 12: ..."),
// when it does not parse or its events go back in frames.
bool loadRecording(const std::string& text, LoadedRecording& recording, std::string& error);

// Why a finished replay failed, as the runner says it after the file's
// name: it left the recording, or ended elsewhere than the end line says.
// Empty when neither (a recording cut short has no end to compare).
std::string replayFailure(const SessionReplay& replay, const GameEnd& end);

}  // namespace zt
