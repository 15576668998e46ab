#pragma once

#include <string>

namespace zt::fuzz {

// A recording as the headless runner takes it with --replay: parsed, its
// messages put in frame order, then replayed into the game itself (without
// its resources: no pictures, silent clips), frame by frame. Returns an
// empty string when everything held that the format and the replay
// promise, or what did not:
//
// - a line that does not parse is named by its number, and every line
//   before it parses;
// - every event and the end line, written back, say what the input said
//   and parse again to the same session;
// - a recording refused for its frame order is refused at a line it has;
// - the replay hands the sound device a time that never goes back and
//   stays within what a replay follows;
// - what the game was handed, recorded again as the runner does with
//   --replay and --record, replays without a problem to the same end and
//   records the same again.
//
// Memory errors, undefined behaviour and hangs are for the sanitizers and
// the fuzzer to see.
std::string checkSession(const std::string& text);

// The same over a file's bytes.
std::string checkSessionFile(const std::string& path);

}  // namespace zt::fuzz
