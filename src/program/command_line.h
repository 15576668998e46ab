#pragma once

#include <filesystem>
#include <string>

namespace zt {

// What the game's programs take on their command line: nothing, or
// `--record FILE` to write the session down as it is played.
struct ProgramArguments {
  bool ok = true;  // false: something else was given (and refused)
  std::filesystem::path recordPath;
};

// What a program does with an argument it does not know. A program started
// from a terminal says so; the Windows one is handed arguments nobody typed
// (a file dropped on it, "Open with", a launcher's extras) and lets them be.
enum class UnknownArguments { Refuse, Ignore };

// argv in the system's own characters (UTF-8 on Linux, UTF-16 on Windows).
template <typename Char>
ProgramArguments parseProgramArguments(int argc, const Char* const* argv,
                                       UnknownArguments unknown) {
  static const Char kRecord[] = {'-', '-', 'r', 'e', 'c', 'o', 'r', 'd', 0};
  ProgramArguments arguments;
  for (int i = 1; i < argc; ++i) {
    if (std::basic_string<Char>(argv[i]) == kRecord && i + 1 < argc && argv[i + 1][0] != 0) {
      arguments.recordPath = argv[++i];
    } else if (unknown == UnknownArguments::Refuse) {
      arguments.ok = false;
    }
  }
  return arguments;
}

// What a program prints when its command line is refused.
constexpr const char* kProgramUsage = "usage: zummertock [--record FILE]\n";

}  // namespace zt
