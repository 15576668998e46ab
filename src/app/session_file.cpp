#include "app/session_file.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdlib>
#include <iterator>
#include <sstream>

namespace zt {

namespace {

struct KeyName {
  uint32_t key;
  const char* name;
};
constexpr KeyName kKeys[] = {{kVkRight, "right"}, {kVkD, "d"}, {kVkEscape, "escape"}};

bool wholeNumber(const std::string& word, bool allowSign, int64_t& value) {
  if (word.empty() || word.size() > 20) return false;
  const size_t first = allowSign && word[0] == '-' ? 1 : 0;
  if (first == word.size() || word.find_first_not_of("0123456789", first) != std::string::npos) {
    return false;
  }
  errno = 0;
  char* end = nullptr;
  value = std::strtoll(word.c_str(), &end, 10);
  return errno == 0 && *end == '\0';
}

// "# end frames N mode M level L incorrect I"
bool parseEnd(std::istringstream& words, GameEnd& end) {
  std::string label[4];
  int64_t value[4];
  for (int i = 0; i < 4; ++i) {
    std::string number;
    if (!(words >> label[i] >> number) || !wholeNumber(number, true, value[i])) return false;
  }
  std::string extra;
  if (label[0] != "frames" || label[1] != "mode" || label[2] != "level" ||
      label[3] != "incorrect" || words >> extra || value[0] < 0 || value[2] < 0) {
    return false;
  }
  end.frames = static_cast<uint64_t>(value[0]);
  end.mode = static_cast<int32_t>(value[1]);
  end.level = static_cast<uint32_t>(value[2]);
  end.incorrect = static_cast<int32_t>(value[3]);
  return true;
}

}  // namespace

bool parseSession(const std::string& text, SessionFile& file, std::string& error) {
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    auto fail = [&](const std::string& why) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    };
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;  // blank
    if (first[0] == '#') {
      std::string word;
      if (first == "#" && words >> word && word == "end") {
        GameEnd end;
        if (!parseEnd(words, end)) return fail("malformed end line");
        if (file.end) return fail("a second end line");
        file.end = end;
      }
      continue;
    }
    if (file.end) return fail("an event after the end line");
    if (auto hash = line.find('#'); hash != std::string::npos) {
      words = std::istringstream(line.substr(0, hash));
      words >> first;
    }

    SessionEvent event;
    event.line = number;
    int64_t frame = 0;
    if (!wholeNumber(first, false, frame)) {
      return fail("expected a frame number, got '" + first + "'");
    }
    event.frame = static_cast<uint64_t>(frame);
    std::string verb, argument, extra;
    if (!(words >> verb)) return fail("missing event");
    static const char* const kVerbs[] = {"down",      "up",    "about", "close",  "exit",
                                         "frequency", "clock", "sound", "playing"};
    if (std::find(std::begin(kVerbs), std::end(kVerbs), verb) == std::end(kVerbs)) {
      return fail("unknown event '" + verb + "'");
    }
    const bool takesArgument = verb == "down" || verb == "up" || verb == "frequency" ||
                               verb == "clock" || verb == "sound" || verb == "playing";
    if (takesArgument && !(words >> argument)) return fail("'" + verb + "' wants a value");
    if (words >> extra) return fail("unexpected '" + extra + "'");

    int64_t value = 0;
    if (verb == "down" || verb == "up") {
      event.message.kind =
          verb == "down" ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp;
      bool known = false;
      for (const KeyName& k : kKeys) {
        if (argument == k.name) {
          event.message.code = k.key;
          known = true;
        }
      }
      if (!known) return fail("expected right, d or escape after '" + verb + "'");
    } else if (verb == "about" || verb == "exit") {
      event.message = WindowMessage{WindowMessage::Kind::Command,
                                    verb == "about" ? kCommandAbout : kCommandExit};
    } else if (verb == "close") {
      event.message = WindowMessage{WindowMessage::Kind::Destroy, 0};
    } else if (verb == "frequency") {
      event.kind = SessionEvent::Kind::Frequency;
      char* end = nullptr;
      errno = 0;
      event.frequency = std::strtod(argument.c_str(), &end);
      if (errno != 0 || *end != '\0' || !(event.frequency > 0.0)) {
        return fail("a frequency wants ticks per second above 0");
      }
    } else if (verb == "clock") {
      event.kind = SessionEvent::Kind::Clock;
      if (!wholeNumber(argument, true, event.value))
        return fail("a clock reading wants a whole number");
    } else if (verb == "sound") {
      event.kind = SessionEvent::Kind::Sound;
      if (argument != "on" && argument != "off") return fail("sound is on or off");
      event.soundOn = argument == "on";
    } else if (verb == "playing") {
      event.kind = SessionEvent::Kind::Playing;
      if (!wholeNumber(argument, false, value) || value > UINT32_MAX) {
        return fail("playing wants a count");
      }
      event.value = value;
    }
    file.events.push_back(event);
  }
  return true;
}

std::string sessionLine(const SessionEvent& event) {
  std::string line = std::to_string(event.frame) + " ";
  char number[40];
  switch (event.kind) {
    case SessionEvent::Kind::Frequency:
      std::snprintf(number, sizeof number, "%.17g", event.frequency);
      return line + "frequency " + number;
    case SessionEvent::Kind::Clock:
      return line + "clock " + std::to_string(event.value);
    case SessionEvent::Kind::Sound:
      return line + "sound " + (event.soundOn ? "on" : "off");
    case SessionEvent::Kind::Playing:
      return line + "playing " + std::to_string(event.value);
    case SessionEvent::Kind::Message:
      break;
  }
  const WindowMessage& m = event.message;
  switch (m.kind) {
    case WindowMessage::Kind::KeyDown:
    case WindowMessage::Kind::KeyUp:
      for (const KeyName& k : kKeys) {
        if (k.key == m.code) {
          return line + (m.kind == WindowMessage::Kind::KeyDown ? "down " : "up ") + k.name;
        }
      }
      break;
    case WindowMessage::Kind::Command:
      if (m.code == kCommandAbout) return line + "about";
      if (m.code == kCommandExit) return line + "exit";
      break;
    case WindowMessage::Kind::Destroy:
      return line + "close";
    case WindowMessage::Kind::Other:
      break;
  }
  return {};  // nothing the game acts on
}

std::string endLine(const GameEnd& end) {
  return "# end frames " + std::to_string(end.frames) + " mode " + std::to_string(end.mode) +
         " level " + std::to_string(end.level) + " incorrect " + std::to_string(end.incorrect);
}

SessionRecorder::SessionRecorder(std::FILE* file, Session* source) : file_(file), source_(source) {
  write("# zummertock session: FRAME down|up right|d|escape, about, close, exit,");
  write("# frequency TICKS, clock READING, sound on|off, playing COUNT");
}

SessionRecorder::~SessionRecorder() {
  if (file_ && std::fclose(file_) != 0) ok_ = false;
}

void SessionRecorder::write(const std::string& line) {
  if (!file_ || line.empty()) return;
  if (std::fputs(line.c_str(), file_) < 0 || std::fputc('\n', file_) == EOF ||
      std::fflush(file_) != 0) {
    ok_ = false;
  }
}

void SessionRecorder::record(uint64_t frame, SessionEvent::Kind kind, SessionEvent event) {
  event.frame = frame;
  event.kind = kind;
  write(sessionLine(event));
}

double SessionRecorder::counterFrequency(uint64_t frame, double live) {
  SessionEvent event;
  event.frequency = source_ ? source_->counterFrequency(frame, live) : live;
  record(frame, SessionEvent::Kind::Frequency, event);
  return event.frequency;
}

int64_t SessionRecorder::counter(uint64_t frame, int64_t live) {
  SessionEvent event;
  event.value = source_ ? source_->counter(frame, live) : live;
  record(frame, SessionEvent::Kind::Clock, event);
  return event.value;
}

bool SessionRecorder::soundOpened(uint64_t frame, bool live) {
  SessionEvent event;
  event.soundOn = source_ ? source_->soundOpened(frame, live) : live;
  record(frame, SessionEvent::Kind::Sound, event);
  return event.soundOn;
}

uint32_t SessionRecorder::playingSounds(uint64_t frame, uint32_t live) {
  const uint32_t count = source_ ? source_->playingSounds(frame, live) : live;
  SessionEvent event;
  event.value = count;
  record(frame, SessionEvent::Kind::Playing, event);
  return count;
}

void SessionRecorder::message(uint64_t frame, const WindowMessage& message) {
  if (source_) source_->message(frame, message);
  SessionEvent event;
  event.message = message;
  record(frame, SessionEvent::Kind::Message, event);
}

void SessionRecorder::end(const GameEnd& end) {
  if (source_) source_->end(end);
  write(endLine(end));
}

}  // namespace zt
