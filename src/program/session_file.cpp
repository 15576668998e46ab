#include "program/session_file.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <sstream>
#include <utility>
#include <vector>

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
      label[3] != "incorrect" || words >> extra || value[0] < 0) {
    return false;
  }
  // Each within what the game keeps it in.
  const auto fits = [](int64_t v, int64_t low, int64_t high) { return v >= low && v <= high; };
  if (!fits(value[1], INT32_MIN, INT32_MAX) || !fits(value[2], 0, UINT32_MAX) ||
      !fits(value[3], INT32_MIN, INT32_MAX)) {
    return false;
  }
  end.frames = static_cast<uint64_t>(value[0]);
  end.mode = static_cast<int32_t>(value[1]);
  end.level = static_cast<uint32_t>(value[2]);
  end.incorrect = static_cast<int32_t>(value[3]);
  return true;
}

using Words = std::vector<std::string>;

// The value after a verb that takes one; each returns why it does not
// parse, or nothing.
std::string parseKey(const std::string& verb, const std::string& name, SessionEvent& event) {
  event.message.kind = verb == "down" ? WindowMessage::Kind::KeyDown : WindowMessage::Kind::KeyUp;
  for (const KeyName& k : kKeys) {
    if (name == k.name) {
      event.message.code = k.key;
      return {};
    }
  }
  return "expected right, d or escape after '" + verb + "'";
}

std::string parseFrequency(const std::string&, const std::string& text, SessionEvent& event) {
  event.kind = SessionEvent::Kind::Frequency;
  char* end = nullptr;
  errno = 0;
  event.frequency = std::strtod(text.c_str(), &end);
  // A clock that never ticks, or ticks without end, makes no frame times.
  if (errno != 0 || *end != '\0' || !std::isfinite(event.frequency) || event.frequency <= 0.0) {
    return "a frequency wants ticks per second above 0";
  }
  return {};
}

std::string parseClock(const std::string&, const std::string& text, SessionEvent& event) {
  event.kind = SessionEvent::Kind::Clock;
  return wholeNumber(text, true, event.value) ? "" : "a clock reading wants a whole number";
}

std::string parseSound(const std::string&, const std::string& text, SessionEvent& event) {
  event.kind = SessionEvent::Kind::Sound;
  event.soundOn = text == "on";
  return text == "on" || text == "off" ? "" : "sound is on or off";
}

std::string parsePlaying(const std::string&, const std::string& text, SessionEvent& event) {
  event.kind = SessionEvent::Kind::Playing;
  const bool count = wholeNumber(text, false, event.value) && event.value <= UINT32_MAX;
  return count ? "" : "playing wants a count";
}

struct Verb {
  const char* name;
  std::string (*parseValue)(const std::string& verb, const std::string& value, SessionEvent&);
  WindowMessage message;  // what a verb without a value stands for
};
const Verb kVerbs[] = {
    {"down", parseKey, {}},
    {"up", parseKey, {}},
    {"about", nullptr, {WindowMessage::Kind::Command, kCommandAbout}},
    {"exit", nullptr, {WindowMessage::Kind::Command, kCommandExit}},
    {"close", nullptr, {WindowMessage::Kind::Destroy, 0}},
    {"frequency", parseFrequency, {}},
    {"clock", parseClock, {}},
    {"sound", parseSound, {}},
    {"playing", parsePlaying, {}},
};

// An event line's words (the comment cut off): FRAME VERB [VALUE].
std::string parseEvent(const Words& words, SessionEvent& event) {
  int64_t frame = 0;
  if (!wholeNumber(words[0], false, frame)) {
    return "expected a frame number, got '" + words[0] + "'";
  }
  event.frame = static_cast<uint64_t>(frame);
  if (words.size() < 2) return "missing event";
  const std::string& verb = words[1];
  const Verb* found = std::find_if(std::begin(kVerbs), std::end(kVerbs),
                                   [&](const Verb& v) { return verb == v.name; });
  if (found == std::end(kVerbs)) return "unknown event '" + verb + "'";
  const size_t wanted = found->parseValue ? 3 : 2;
  if (words.size() < wanted) return "'" + verb + "' wants a value";
  if (words.size() > wanted) return "unexpected '" + words[wanted] + "'";
  if (!found->parseValue) {
    event.message = found->message;
    return {};
  }
  return found->parseValue(verb, words[2], event);
}

Words wordsOf(const std::string& text) {
  Words words;
  std::istringstream in(text);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// One line into the file; why it does not parse, or nothing.
std::string parseLine(const std::string& line, int number, SessionFile& file) {
  Words words = wordsOf(line);
  if (words.empty()) return {};
  if (words[0][0] == '#') {
    if (words[0] != "#" || words.size() < 2 || words[1] != "end") return {};  // a comment
    std::istringstream rest(line.substr(line.find("end") + 3));
    GameEnd end;
    if (!parseEnd(rest, end)) return "malformed end line";
    if (file.end) return "a second end line";
    file.end = end;
    return {};
  }
  if (file.end) return "an event after the end line";
  words = wordsOf(line.substr(0, line.find('#')));
  SessionEvent event;
  event.line = number;
  std::string error = parseEvent(words, event);
  if (error.empty()) file.events.push_back(event);
  return error;
}

}  // namespace

bool parseSession(const std::string& text, SessionFile& file, std::string& error) {
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    const std::string why = parseLine(line, ++number, file);
    if (!why.empty()) {
      error = "line " + std::to_string(number) + ": " + why;
      return false;
    }
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

std::unique_ptr<SessionRecorder> SessionRecorder::open(const std::filesystem::path& path,
                                                       Session* source) {
#ifdef _WIN32
  std::FILE* file = _wfopen(path.c_str(), L"wb");
#else
  std::FILE* file = std::fopen(path.c_str(), "wb");
#endif
  const std::string name = path.u8string();
  if (!file) {
    std::fprintf(stderr, "Error: couldn't open the recording %s: %s\n", name.c_str(),
                 std::strerror(errno));
    return nullptr;
  }
  return std::make_unique<SessionRecorder>(file, name, source);
}

SessionRecorder::SessionRecorder(std::FILE* file, std::string name, Session* source)
    : file_(file), name_(std::move(name)), source_(source) {
  write("# zummertock session: FRAME down|up right|d|escape, about, close, exit,");
  write("# frequency TICKS, clock READING, sound on|off, playing COUNT");
}

SessionRecorder::~SessionRecorder() {
  close();
}

bool SessionRecorder::close() {
  if (file_ && std::fclose(file_) != 0) fail();
  file_ = nullptr;
  return ok_;
}

void SessionRecorder::fail() {
  // Said once, when it happens: what follows is lost too.
  if (ok_) {
    std::fprintf(stderr, "Error: couldn't write the recording %s: %s\n", name_.c_str(),
                 std::strerror(errno));
  }
  ok_ = false;
}

void SessionRecorder::write(const std::string& line) {
  if (!file_ || !ok_ || line.empty()) return;
  if (std::fputs(line.c_str(), file_) < 0 || std::fputc('\n', file_) == EOF ||
      std::fflush(file_) != 0) {
    fail();
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
