#include "replay/session_replay.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace zt {

SessionReplay::SessionReplay(SessionFile file) : file_(std::move(file)), next_(5, 0) {
  for (const SessionEvent& event : file_.events) {
    if (event.kind == SessionEvent::Kind::Sound) {
      soundDevice_ = event.soundOn;
      break;
    }
  }
}

uint64_t SessionReplay::lastClockFrame() const {
  for (auto event = file_.events.rbegin(); event != file_.events.rend(); ++event) {
    if (event->kind == SessionEvent::Kind::Clock) return event->frame;
  }
  return 0;
}

double SessionReplay::seconds() const {
  if (!haveReading_) return 0.0;
  return static_cast<double>(lastReading_ - firstReading_) / frequency_;
}

const SessionEvent* SessionReplay::take(SessionEvent::Kind kind, uint64_t frame, const char* what) {
  size_t& at = next_[static_cast<size_t>(kind)];
  while (at < file_.events.size() && file_.events[at].kind != kind) ++at;
  if (at == file_.events.size()) {
    if (file_.end && problem_.empty()) {
      problem_ = "frame " + std::to_string(frame) + " reads " + what + ", which the recording " +
                 "holds no more of";
    }
    return nullptr;
  }
  const SessionEvent& event = file_.events[at];
  if (event.frame != frame) {
    if (problem_.empty()) {
      problem_ = "frame " + std::to_string(frame) + " reads " + what + "; the recording's next " +
                 "one is for frame " + std::to_string(event.frame) + " (line " +
                 std::to_string(event.line) + ")";
    }
    return nullptr;
  }
  ++at;
  return &event;
}

double SessionReplay::counterFrequency(uint64_t frame, double live) {
  const SessionEvent* event = take(SessionEvent::Kind::Frequency, frame, "the counter frequency");
  if (event) frequency_ = event->frequency;
  return event ? event->frequency : live;
}

int64_t SessionReplay::counter(uint64_t frame, int64_t live) {
  const SessionEvent* event = take(SessionEvent::Kind::Clock, frame, "the clock");
  if (!event) return haveReading_ ? lastReading_ : live;
  if (haveReading_) {
    // A counter does not go back; from the first reading, the time stays
    // within what a replay follows (and the ticks within an int64).
    const uint64_t ticks =
        static_cast<uint64_t>(event->value) - static_cast<uint64_t>(firstReading_);
    const bool back = event->value < lastReading_;
    if (back || ticks > INT64_MAX || static_cast<double>(ticks) / frequency_ > kMaxReplaySeconds) {
      if (problem_.empty()) {
        problem_ = "frame " + std::to_string(frame) + " reads the clock (line " +
                   std::to_string(event->line) + "), which " +
                   (back ? "goes back" : "is more than an hour after its first reading");
      }
      return lastReading_;
    }
  }
  if (!haveReading_) firstReading_ = event->value;
  haveReading_ = true;
  lastReading_ = event->value;
  return event->value;
}

bool SessionReplay::soundOpened(uint64_t frame, bool live) {
  const SessionEvent* event = take(SessionEvent::Kind::Sound, frame, "whether the sound opened");
  if (event && event->soundOn != live && problem_.empty()) {
    problem_ = "the sound device " + std::string(live ? "opened" : "did not open") +
               ", in the recording it " + (event->soundOn ? "did" : "did not");
  }
  return live;
}

uint32_t SessionReplay::playingSounds(uint64_t frame, uint32_t live) {
  const SessionEvent* event = take(SessionEvent::Kind::Playing, frame, "the playing sounds");
  return event ? static_cast<uint32_t>(event->value) : live;
}

namespace {

// A recording's messages: each at the frame that handled it, those of one
// frame all in its message step. Its events must not go back in frames.
bool recordedMessages(const SessionFile& session, std::vector<ScriptEvent>& events,
                      std::string& error) {
  uint64_t frame = 0;
  for (const SessionEvent& event : session.events) {
    if (event.frame < frame) {
      error = "line " + std::to_string(event.line) + ": frame " + std::to_string(event.frame) +
              " after frame " + std::to_string(frame);
      return false;
    }
    const bool sameStep = !events.empty() && events.back().frame == event.frame;
    frame = event.frame;
    if (event.kind == SessionEvent::Kind::Message) {
      events.push_back(ScriptEvent{event.frame, event.message, sameStep});
    }
  }
  return true;
}

}  // namespace

bool loadRecording(const std::string& text, LoadedRecording& recording, std::string& error) {
  SessionFile session;
  if (!parseSession(text, session, error)) return false;
  recording.messages.clear();
  if (!recordedMessages(session, recording.messages, error)) return false;
  // As far as its end line, and into the frame Escape abandoned when the
  // recording holds what the game read there: that frame may have changed
  // the mode before it ended the game. Cut short, to its last clock reading.
  const bool pastEnd =
      session.end && !session.events.empty() && session.events.back().frame >= session.end->frames;
  recording.replay = std::make_unique<SessionReplay>(std::move(session));
  const SessionReplay& replay = *recording.replay;
  const uint64_t frames = replay.recordedEnd() ? replay.recordedEnd()->frames + (pastEnd ? 1 : 0)
                                               : replay.lastClockFrame() + 1;
  recording.frames = std::max<uint64_t>(frames, 1);
  return true;
}

std::string replayFailure(const SessionReplay& replay, const GameEnd& end) {
  if (!replay.problem().empty()) return "the replay left the recording: " + replay.problem();
  const std::optional<GameEnd>& want = replay.recordedEnd();
  if (want && (want->frames != end.frames || want->mode != end.mode || want->level != end.level ||
               want->incorrect != end.incorrect)) {
    return "the replay ended at " + endLine(end).substr(6) + ", the recording at " +
           endLine(*want).substr(6);
  }
  return {};
}

}  // namespace zt
