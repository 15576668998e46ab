// zummertock-replay: the real game on the headless backend. It is how the
// whole game is tested end to end, recorded and measured.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "app/frame_loop.h"
#include "app/game_modes.h"
#include "platform/headless/headless_platform.h"
#include "rules/rules.h"

namespace {

const char kUsage[] =
    "usage: zummertock-replay [options]\n"
    "  --resources DIR     where resources/ is (default: the working directory)\n"
    "  --dt SECONDS        fixed frame time of the virtual clock (default 1/60)\n"
    "  --frames N          stop after N frames (default 100000)\n"
    "  --script FILE       key events: 'FRAME down|up right|d|escape', 'FRAME about',\n"
    "                      'FRAME close'; '#' starts a comment\n"
    "  --autoplay          play the whole game without a mistake, then Escape\n"
    "  --mistakes LIST     with --autoplay: lose once on each listed level (e.g. 0,3,3)\n"
    "  --trace FILE        one JSON line per completed frame\n"
    "  --shot FRAME:FILE   the window at that frame as a PNG (repeatable)\n"
    "  --wav FILE          the sound sent to the device, as a WAV\n"
    "  --no-sound          the sound device refuses to open\n";

[[noreturn]] void usage(const std::string& problem) {
  std::fprintf(stderr, "zummertock-replay: %s\n%s", problem.c_str(), kUsage);
  std::exit(2);
}

bool parseUnsigned(const std::string& text, uint64_t& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtoull(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0';
}

bool parseSeconds(const std::string& text, double& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end != text.c_str() && *end == '\0' && value > 0.0 && value <= 60.0;
}

}  // namespace

int main(int argc, char** argv) {
  zt::HeadlessOptions options;
  zt::GameOptions game;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) usage("missing value after " + arg);
      return argv[++i];
    };
    if (arg == "--resources") {
      game.resourceBase = value();
      if (!game.resourceBase.empty() && game.resourceBase.back() != '/') game.resourceBase += '/';
    } else if (arg == "--dt") {
      if (!parseSeconds(value(), options.dt)) usage("--dt wants seconds above 0 and at most 60");
    } else if (arg == "--frames") {
      if (!parseUnsigned(value(), options.maxFrames) || options.maxFrames == 0) {
        usage("--frames wants a positive whole number");
      }
    } else if (arg == "--script") {
      const std::string file = value();
      std::ifstream in(file, std::ios::binary);
      if (!in) usage("cannot read " + file);
      std::ostringstream text;
      text << in.rdbuf();
      std::string error;
      if (!zt::parseScript(text.str(), options.events, error)) usage(file + ": " + error);
    } else if (arg == "--autoplay") {
      options.autoplay = true;
    } else if (arg == "--mistakes") {
      std::istringstream list(value());
      std::string item;
      while (std::getline(list, item, ',')) {
        uint64_t level = 0;
        if (!parseUnsigned(item, level) || level >= zt::kLevelCount) {
          usage("--mistakes wants level numbers 0 to 17");
        }
        options.mistakes.push_back(static_cast<uint32_t>(level));
      }
    } else if (arg == "--trace") {
      options.tracePath = value();
    } else if (arg == "--shot") {
      const std::string shot = value();
      const auto colon = shot.find(':');
      uint64_t frame = 0;
      if (colon == std::string::npos || !parseUnsigned(shot.substr(0, colon), frame) ||
          colon + 1 == shot.size()) {
        usage("--shot wants FRAME:FILE.png");
      }
      options.shots[frame].push_back(shot.substr(colon + 1));
    } else if (arg == "--wav") {
      options.wavPath = value();
    } else if (arg == "--no-sound") {
      options.noSoundDevice = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      usage("unknown option " + arg);
    }
  }
  if (!options.mistakes.empty() && !options.autoplay) usage("--mistakes needs --autoplay");

  zt::HeadlessPlatform platform(options);
  if (!platform.createContext()) return 1;
  const int status = zt::runGame(platform, game);
  const bool written = platform.finish();
  std::printf("frames %" PRIu64 ", mode %d, level %u, incorrect %d, status %d\n", zt::framesRun(),
              zt::gameMode, zt::currentLevel, zt::incorrectGuesses, status);
  return written ? status : 1;
}
