// zummertock-replay: the real game on the headless backend. It is how the
// whole game is tested end to end, recorded and measured.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/frame_loop.h"
#include "autoplayer.h"
#include "core/screen.h"
#include "display/gl_renderer.h"
#include "platform/headless/headless_platform.h"
#include "replay_script.h"
#include "rules/rules.h"

namespace {

using zt::kWindowHeight;
using zt::kWindowWidth;

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

struct RunnerOptions {
  double dt = 1.0 / 60.0;
  uint64_t maxFrames = 100000;
  std::vector<zt::ScriptEvent> events;
  bool autoplay = false;
  std::vector<uint32_t> mistakes;  // levels the autoplayer loses once each
  std::string tracePath;
  std::map<uint64_t, std::vector<std::string>> shots;  // frame -> PNG files
  std::string wavPath;
  bool noSoundDevice = false;
  zt::GameOptions game;
};

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Drives the headless game: queues the script's events and the autoplayer's
// keys before each frame, and writes the trace and the screenshots after it.
class Runner : public zt::FrameObserver {
 public:
  Runner(zt::HeadlessPlatform& platform, const RunnerOptions& options)
      : platform_(platform), options_(options) {
    if (options_.autoplay) autoplayer_ = std::make_unique<zt::Autoplayer>(options_.mistakes);
    if (!options_.tracePath.empty()) {
      trace_ = std::fopen(options_.tracePath.c_str(), "wb");
      if (!trace_) cannotWrite(options_.tracePath);
    }
  }
  ~Runner() override {
    if (trace_) std::fclose(trace_);
  }

  void beforeFrame(uint64_t frame, const zt::Game& game) override {
    const std::vector<zt::ScriptEvent>& events = options_.events;
    while (nextEvent_ < events.size() && events[nextEvent_].frame <= frame) {
      platform_.post(events[nextEvent_++].message);
    }
    // The player sends one message at a time, like a person with one hand.
    if (autoplayer_ && !platform_.hasQueuedMessages()) {
      if (auto message = autoplayer_->decide(game, options_.dt)) platform_.post(*message);
    }
  }

  bool afterFrame(uint64_t frame, const zt::Game& game) override {
    if (trace_) writeTrace(frame, game.frameRecord());
    if (auto shots = options_.shots.find(frame); shots != options_.shots.end()) {
      // The buffer still holds what the last present showed.
      std::vector<uint8_t> pixels = zt::readFramePixels(kWindowWidth, kWindowHeight);
      // A window shows no alpha: the picture on screen is opaque.
      for (size_t alpha = 3; alpha < pixels.size(); alpha += 4) pixels[alpha] = 255;
      for (const std::string& file : shots->second) {
        if (!zt::writeRgbaPng(file, kWindowWidth, kWindowHeight, pixels.data())) {
          cannotWrite(file);
        }
      }
    }
    return frame + 1 < options_.maxFrames;
  }

  // Closes the trace and writes the sound; true when nothing failed.
  bool finish() {
    if (trace_ && std::fclose(trace_) != 0) ok_ = false;
    trace_ = nullptr;
    if (!options_.wavPath.empty() && !platform_.wave().writeWav(options_.wavPath)) {
      cannotWrite(options_.wavPath);
    }
    return ok_;
  }

 private:
  void cannotWrite(const std::string& file) {
    std::fprintf(stderr, "zummertock-replay: cannot write %s\n", file.c_str());
    ok_ = false;
  }

  void writeTrace(uint64_t frame, const zt::FrameRecord& r) {
    const double t = static_cast<double>(platform_.presents()) * options_.dt;
    std::fprintf(trace_,
                 "{\"frame\":%" PRIu64
                 ",\"t\":%.9g,\"mode\":%d,\"level\":%u,\"incorrect\":%d,\"markerX\":%.9g,"
                 "\"markerImage\":%s,\"inputLocked\":%s,\"markerSpeed\":%.9g,\"playing\":%u,"
                 "\"levelText\":%s}\n",
                 frame, t, r.mode, r.level, r.incorrect, static_cast<double>(r.markerX),
                 r.markerImage ? jsonString(r.markerImage).c_str() : "null",
                 r.inputLocked ? "true" : "false", static_cast<double>(r.markerSpeed), r.playing,
                 jsonString(r.levelText).c_str());
  }

  zt::HeadlessPlatform& platform_;
  const RunnerOptions& options_;
  std::unique_ptr<zt::Autoplayer> autoplayer_;
  size_t nextEvent_ = 0;
  FILE* trace_ = nullptr;
  bool ok_ = true;
};

}  // namespace

int main(int argc, char** argv) {
  RunnerOptions options;
  zt::GameOptions& game = options.game;
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

  zt::HeadlessPlatform platform(options.dt, !options.noSoundDevice, !options.wavPath.empty());
  if (!platform.createContext()) return 1;
  Runner runner(platform, options);
  zt::GlRenderer display([&platform] { platform.swapBuffers(); });
  const zt::GameEnd end = zt::runGame(platform, display, game, &runner);
  const bool written = runner.finish();
  std::printf("frames %" PRIu64 ", mode %d, level %u, incorrect %d, status %d\n", end.frames,
              end.mode, end.level, end.incorrect, end.status);
  return written ? end.status : 1;
}
