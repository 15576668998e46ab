#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/platform.h"

namespace zt {

// A key, command or close event of a replay script, queued before its frame.
struct ScriptEvent {
  uint64_t frame = 0;
  WindowMessage message;
};

// Parses a replay script: one event per line, "FRAME down|up right|d|escape",
// "FRAME about" or "FRAME close"; '#' starts a comment. Events come out in
// frame order, those of one frame in the order written. Returns false and
// sets error (with the line number) on a malformed line.
bool parseScript(const std::string& text, std::vector<ScriptEvent>& events, std::string& error);

}  // namespace zt
