#pragma once

#include <string>

namespace zt {

// What the programs take on their command line: nothing, or
// `--record FILE` to write the session down as it is played. In the
// system's own characters (UTF-8 on Linux, UTF-16 on Windows).
template <typename Char>
struct ProgramArguments {
  bool ok = true;  // false: something else was given
  std::basic_string<Char> recordPath;
};

template <typename Char>
ProgramArguments<Char> parseProgramArguments(int argc, const Char* const* argv) {
  static const Char kRecord[] = {'-', '-', 'r', 'e', 'c', 'o', 'r', 'd', 0};
  ProgramArguments<Char> arguments;
  for (int i = 1; i < argc; ++i) {
    if (std::basic_string<Char>(argv[i]) == kRecord && i + 1 < argc && argv[i + 1][0] != 0) {
      arguments.recordPath = argv[++i];
    } else {
      arguments.ok = false;
    }
  }
  return arguments;
}

// What a program prints when its command line is not understood.
constexpr const char* kProgramUsage = "usage: zummertock [--record FILE]\n";

}  // namespace zt
