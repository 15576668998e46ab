#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/platform.h"
#include "app/session.h"

namespace zt {

// A recorded session as text, one event a line, each led by the frame it
// happened in; '#' starts a comment:
//
//   FRAME down|up right|d|escape    a key message
//   FRAME about | close | exit      the About command, a closed window, Exit
//   FRAME frequency TICKS           the counter's ticks per second
//   FRAME clock READING             a counter reading
//   FRAME sound on|off              whether the sound device opened
//   FRAME playing COUNT             sounds playing, as the game read it
//   # end frames N mode M level L incorrect I
//
// The message lines alone are the runner's script format. The end line is
// written at every way out; a recording without one was cut short.
struct SessionEvent {
  enum class Kind { Message, Frequency, Clock, Sound, Playing };
  uint64_t frame = 0;
  Kind kind = Kind::Message;
  WindowMessage message;
  double frequency = 0.0;
  int64_t value = 0;  // a clock reading, or a count of playing sounds
  bool soundOn = false;
  int line = 0;  // where it stands in the file
};

struct SessionFile {
  std::vector<SessionEvent> events;  // in the order they happened
  std::optional<GameEnd> end;
};

// The events in the order of their lines. False, with error naming the
// line ("line 12: ..."), when a line does not parse.
bool parseSession(const std::string& text, SessionFile& file, std::string& error);

// One line of the file, without its line end.
std::string sessionLine(const SessionEvent& event);
std::string endLine(const GameEnd& end);

// Writes the session to a file as it happens, each line flushed, so a
// crash keeps everything before it. The values the game uses come from
// `source` when there is one (a replay being recorded again), else they
// are the machine's. The first write that fails (a full disk) is said on
// standard error at once; the game plays on.
class SessionRecorder : public Session {
 public:
  // Opens `path` for writing; null, after a line on standard error saying
  // why, when it cannot be.
  static std::unique_ptr<SessionRecorder> open(const std::filesystem::path& path,
                                               Session* source = nullptr);
  // Takes the file (opened for writing) and closes it; `name` is how error
  // lines call it.
  SessionRecorder(std::FILE* file, std::string name, Session* source = nullptr);
  ~SessionRecorder() override;
  SessionRecorder(const SessionRecorder&) = delete;
  SessionRecorder& operator=(const SessionRecorder&) = delete;

  double counterFrequency(uint64_t frame, double live) override;
  int64_t counter(uint64_t frame, int64_t live) override;
  bool soundOpened(uint64_t frame, bool live) override;
  uint32_t playingSounds(uint64_t frame, uint32_t live) override;
  void message(uint64_t frame, const WindowMessage& message) override;
  void end(const GameEnd& end) override;

  // False once a write has failed.
  bool ok() const { return ok_; }
  // Closes the file; false when anything was lost (a write or the close
  // failed).
  bool close();

 private:
  void record(uint64_t frame, SessionEvent::Kind kind, SessionEvent event);
  void write(const std::string& line);
  void fail();

  std::FILE* file_;
  std::string name_;
  Session* source_;
  bool ok_ = true;
};

}  // namespace zt
