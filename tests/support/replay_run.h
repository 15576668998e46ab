#pragma once

// The headless runner as the end-to-end tests run it: a child process in a
// folder of its own, and its trace read back.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "test_support.h"

namespace zt::test {

// One line of the runner's trace: every field as its JSON text ("null",
// "true", numbers as printed, strings without their quotes).
struct TraceFrame {
  std::map<std::string, std::string> fields;

  int integer(const std::string& key) const;
  double number(const std::string& key) const;
  const std::string& text(const std::string& key) const;
  bool flag(const std::string& key) const { return text(key) == "true"; }
};

// A finished run. Its folder is removed with it (kept when ZT_KEEP_RUNS is
// set, for looking at the screenshots).
struct ReplayRun {
  int status = -1;
  std::string out;
  std::string err;
  std::vector<TraceFrame> trace;
  TempDir dir;  // the run's own folder (shots, wav, script)

  std::string file(const std::string& name) const { return dir.file(name); }
};

// Runs zummertock-replay from the build directory with the given options
// (plus --trace), optionally with a script; waits for it.
ReplayRun runReplay(const std::vector<std::string>& options, const std::string& script = "");

// Parses one trace line; throws on malformed input.
TraceFrame parseTraceLine(const std::string& line);

// Decodes an RGBA PNG written by the runner (top row first).
std::vector<uint8_t> readPngRgba(const std::string& path, uint32_t& width, uint32_t& height);

}  // namespace zt::test
