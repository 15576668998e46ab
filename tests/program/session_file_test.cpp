// The session format: recordings come from other machines and bug reports,
// so every line is checked and a bad one named.
#include "program/session_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zt {
namespace {

using Kind = SessionEvent::Kind;

TEST(SessionFile, EachBadLineIsNamedWithWhatIsWrong) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"x clock 5", "line 1: expected a frame number, got 'x'"},
      {"-1 clock 5", "line 1: expected a frame number, got '-1'"},
      {"99999999999999999999 clock 5",
       "line 1: expected a frame number, got '99999999999999999999'"},
      {"3", "line 1: missing event"},
      {"3 held d", "line 1: unknown event 'held'"},
      {"3 down", "line 1: 'down' wants a value"},
      {"3 down q", "line 1: expected right, d or escape after 'down'"},
      {"3 about now", "line 1: unexpected 'now'"},
      {"3 clock 5 6", "line 1: unexpected '6'"},
      {"0 frequency 0", "line 1: a frequency wants ticks per second above 0"},
      {"0 frequency -60", "line 1: a frequency wants ticks per second above 0"},
      {"0 frequency inf", "line 1: a frequency wants ticks per second above 0"},
      {"0 frequency nan", "line 1: a frequency wants ticks per second above 0"},
      {"0 frequency 1e999", "line 1: a frequency wants ticks per second above 0"},
      {"0 frequency 60Hz", "line 1: a frequency wants ticks per second above 0"},
      {"0 clock 1.5", "line 1: a clock reading wants a whole number"},
      {"0 clock 9223372036854775808", "line 1: a clock reading wants a whole number"},
      {"0 sound maybe", "line 1: sound is on or off"},
      {"0 playing -1", "line 1: playing wants a count"},
      {"0 playing 4294967296", "line 1: playing wants a count"},
      {"# end frames 3 mode 1 level 0", "line 1: malformed end line"},
      {"# end frames -3 mode 1 level 0 incorrect 0", "line 1: malformed end line"},
      {"# end frames 3 mode 1 level 0 incorrect 0 more", "line 1: malformed end line"},
      {"# end frames 3 mode 1 level 0 incorrect 8951672619", "line 1: malformed end line"},
      {"# end frames 3 mode 1 level 4294967296 incorrect 0", "line 1: malformed end line"},
      {"# end frames 3 mode 1 level 0 incorrect 0\n# end frames 3 mode 1 level 0 incorrect 0",
       "line 2: a second end line"},
      {"# end frames 3 mode 1 level 0 incorrect 0\n\n4 down d",
       "line 3: an event after the end line"},
  };
  for (const auto& c : cases) {
    SessionFile file;
    std::string error;
    EXPECT_FALSE(parseSession(c.text, file, error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

TEST(SessionFile, EveryKindOfLineReadsBackAsWritten) {
  SessionEvent key{};
  key.frame = 7;
  key.message = {WindowMessage::Kind::KeyDown, kVkD};
  SessionEvent up = key;
  up.message = {WindowMessage::Kind::KeyUp, kVkEscape};
  SessionEvent about = key;
  about.message = {WindowMessage::Kind::Command, kCommandAbout};
  SessionEvent exit = key;
  exit.message = {WindowMessage::Kind::Command, kCommandExit};
  SessionEvent close = key;
  close.message = {WindowMessage::Kind::Destroy, 0};
  SessionEvent frequency{};
  frequency.kind = Kind::Frequency;
  frequency.frequency = 1.0 / 3.0;  // every digit of a double survives
  SessionEvent clock{};
  clock.kind = Kind::Clock;
  clock.value = -9223372036854775807 - 1;
  SessionEvent sound{};
  sound.kind = Kind::Sound;
  sound.soundOn = true;
  SessionEvent playing{};
  playing.kind = Kind::Playing;
  playing.frame = 18446744073709551615u / 2;
  playing.value = 4294967295;
  const std::vector<SessionEvent> events = {key,       up,    about, exit,   close,
                                            frequency, clock, sound, playing};

  std::string text = "# a comment\n\n";
  for (const SessionEvent& event : events) text += sessionLine(event) + "  # why not\n";
  GameEnd end{0, 2410, 4, 3, 1};
  text += endLine(end) + "\n";
  EXPECT_EQ(endLine(end), "# end frames 2410 mode 4 level 3 incorrect 1");

  SessionFile file;
  std::string error;
  ASSERT_TRUE(parseSession(text, file, error)) << error << "\n" << text;
  ASSERT_EQ(file.events.size(), events.size());
  for (size_t i = 0; i < events.size(); ++i) {
    const SessionEvent& got = file.events[i];
    EXPECT_EQ(sessionLine(got), sessionLine(events[i]));
    EXPECT_EQ(got.kind, events[i].kind);
    EXPECT_EQ(got.line, static_cast<int>(i) + 3);
  }
  EXPECT_EQ(file.events[5].frequency, 1.0 / 3.0);
  ASSERT_TRUE(file.end);
  EXPECT_EQ(endLine(*file.end), endLine(end));
  // What the game does not act on is not written.
  SessionEvent other = key;
  other.message = {WindowMessage::Kind::Other, 0};
  EXPECT_EQ(sessionLine(other), "");
}

TEST(SessionFile, AFailedWriteIsSaidOnceAndTheRecordingReportsIt) {
  std::FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  testing::internal::CaptureStderr();
  SessionRecorder recorder(full, "/dev/full");
  EXPECT_EQ(recorder.counter(0, 42), 42);  // the game plays on
  recorder.message(0, {WindowMessage::Kind::KeyDown, kVkD});
  EXPECT_FALSE(recorder.close());
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: couldn't write the recording /dev/full: No space left on device\n");

  testing::internal::CaptureStderr();
  EXPECT_EQ(SessionRecorder::open("/no/such/folder/game.rec"), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Error: couldn't open the recording /no/such/folder/game.rec: No such file or "
            "directory\n");
}

}  // namespace
}  // namespace zt
