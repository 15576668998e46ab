// zummertock-replay: the real game on the headless backend. It is how the
// whole game is tested end to end, recorded and measured.
#include <algorithm>
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

#include "core/screen.h"
#include "platform/headless/headless_platform.h"
#include "program/program.h"
#include "program/session_file.h"
#include "replay/autoplayer.h"
#include "replay/output_files.h"
#include "replay/session_replay.h"
#include "replay/trace.h"
#include "rules/rules.h"

namespace {

using zt::kWindowHeight;
using zt::kWindowWidth;
using zt::ScriptEvent;

const char kUsage[] =
    "usage: zummertock-replay [options]\n"
    "  --resources DIR     where resources/ is (default: the working directory)\n"
    "  --dt SECONDS        fixed frame time of the virtual clock (default 1/60)\n"
    "  --frames N          stop after N frames (default 100000)\n"
    "  --script FILE       key events: 'FRAME down|up right|d|escape', 'FRAME about',\n"
    "                      'FRAME close', 'FRAME exit'; '#' starts a comment\n"
    "  --autoplay          play the whole game without a mistake, then Escape\n"
    "  --jitter FRACTION   frames last dt x (1 +- up to FRACTION), as a real machine's\n"
    "  --record FILE       write the session: its clock, messages and sound\n"
    "  --replay FILE       play a recorded session again, with its clock\n"
    "  --mistakes LIST     with --autoplay: lose once on each listed level (e.g. 0,3,3)\n"
    "  --trace FILE        one JSON line per completed frame\n"
    "  --shot FRAME:FILE   the window at that frame as a PNG (repeatable)\n"
    "  --wav FILE          the sound sent to the device, as a WAV\n"
    "  --no-sound          the sound device refuses to open\n";

// A command line that is not understood: what is wrong, then the usage.
[[noreturn]] void usage(const std::string& problem) {
  std::fprintf(stderr, "zummertock-replay: %s\n%s", problem.c_str(), kUsage);
  std::exit(2);
}

// A file given on a good command line that cannot be used: what is wrong
// with it, and nothing else.
[[noreturn]] void badFile(const std::string& file, const std::string& problem) {
  std::fprintf(stderr, "zummertock-replay: %s: %s\n", file.c_str(), problem.c_str());
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
  double jitter = 0.0;
  std::vector<ScriptEvent> events;
  bool autoplay = false;
  std::vector<uint32_t> mistakes;  // levels the autoplayer loses once each
  std::string tracePath;
  std::map<uint64_t, std::vector<std::string>> shots;  // frame -> PNG files
  std::string wavPath;
  bool noSoundDevice = false;
  std::string replayPath;
  zt::ProgramOptions program;
};

// Drives the headless game: queues the script's events and the autoplayer's
// keys before each frame, and writes the trace and the screenshots after it.
class Runner : public zt::FrameObserver {
 public:
  Runner(zt::HeadlessPlatform& platform, const RunnerOptions& options,
         const zt::SessionReplay* replay)
      : platform_(platform), options_(options), replay_(replay) {
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
    const std::vector<ScriptEvent>& events = options_.events;
    while (nextEvent_ < events.size() && events[nextEvent_].frame <= frame) {
      const ScriptEvent& event = events[nextEvent_++];
      platform_.post(event.message, event.withPrevious);
    }
    // The player sends one message at a time, like a person with one hand.
    if (autoplayer_ && !platform_.hasQueuedMessages()) {
      if (auto message = autoplayer_->decide(game, options_.dt)) platform_.post(*message);
    }
  }

  bool afterFrame(uint64_t frame, const zt::Game& game) override {
    if (trace_) {
      const std::string line = zt::traceLine(frame, platform_.seconds(), game);
      std::fprintf(trace_, "%s\n", line.c_str());
    }
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
    // A replay goes no further than the recording does.
    if (replay_ && !replay_->problem().empty()) return false;
    return frame + 1 < options_.maxFrames;
  }

  // Closes the trace and writes the sound; true when nothing failed.
  bool finish() {
    if (trace_ && std::fclose(trace_) != 0) ok_ = false;
    trace_ = nullptr;
    const zt::HeadlessWaveDevice& wave = platform_.wave();
    if (!options_.wavPath.empty() &&
        !zt::writeWav(options_.wavPath, wave.recording(), wave.format().channels,
                      wave.format().samplesPerSecond)) {
      cannotWrite(options_.wavPath);
    }
    return ok_;
  }

 private:
  void cannotWrite(const std::string& file) {
    std::fprintf(stderr, "zummertock-replay: cannot write %s\n", file.c_str());
    ok_ = false;
  }

  zt::HeadlessPlatform& platform_;
  const RunnerOptions& options_;
  const zt::SessionReplay* replay_;
  std::unique_ptr<zt::Autoplayer> autoplayer_;
  size_t nextEvent_ = 0;
  FILE* trace_ = nullptr;
  bool ok_ = true;
};

std::string readFile(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) badFile(file, "cannot read it");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

zt::SessionFile readSession(const std::string& file) {
  zt::SessionFile session;
  std::string error;
  if (!zt::parseSession(readFile(file), session, error)) badFile(file, error);
  return session;
}

// A script is the message lines of a session; its events are queued in
// frame order, those of one frame in the order written.
std::vector<ScriptEvent> readScript(const std::string& file) {
  std::vector<ScriptEvent> events;
  for (const zt::SessionEvent& event : readSession(file).events) {
    if (event.kind != zt::SessionEvent::Kind::Message) {
      badFile(file, "line " + std::to_string(event.line) +
                        ": a script holds keys, about, close and exit (a recording: --replay)");
    }
    events.push_back(ScriptEvent{event.frame, event.message, false});
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
  return events;
}

std::vector<uint32_t> parseMistakes(const std::string& text) {
  std::vector<uint32_t> levels;
  std::istringstream list(text);
  std::string item;
  while (std::getline(list, item, ',')) {
    uint64_t level = 0;
    if (!parseUnsigned(item, level) || level >= zt::kLevelCount) {
      usage("--mistakes wants level numbers 0 to 17");
    }
    levels.push_back(static_cast<uint32_t>(level));
  }
  return levels;
}

void addShot(RunnerOptions& options, const std::string& shot) {
  const auto colon = shot.find(':');
  uint64_t frame = 0;
  if (colon == std::string::npos || !parseUnsigned(shot.substr(0, colon), frame) ||
      colon + 1 == shot.size()) {
    usage("--shot wants FRAME:FILE.png");
  }
  options.shots[frame].push_back(shot.substr(colon + 1));
}

// Takes one option (and its value) from the command line into options.
void takeOption(RunnerOptions& options, const std::string& arg, const std::string* value) {
  auto need = [&]() -> const std::string& {
    if (!value) usage("missing value after " + arg);
    return *value;
  };
  if (arg == "--resources") {
    std::string base = need();
    if (!base.empty() && base.back() != '/') base += '/';
    options.program.resourceBase = base;
  } else if (arg == "--dt") {
    if (!parseSeconds(need(), options.dt)) usage("--dt wants seconds above 0 and at most 60");
  } else if (arg == "--frames") {
    if (!parseUnsigned(need(), options.maxFrames) || options.maxFrames == 0) {
      usage("--frames wants a positive whole number");
    }
  } else if (arg == "--script") {
    options.events = readScript(need());
  } else if (arg == "--jitter") {
    char* end = nullptr;
    options.jitter = std::strtod(need().c_str(), &end);
    if (end == value->c_str() || *end != '\0' ||
        !(options.jitter >= 0.0 && options.jitter <= 0.9)) {
      usage("--jitter wants a fraction from 0 to 0.9");
    }
  } else if (arg == "--record") {
    options.program.recordPath = need();
  } else if (arg == "--replay") {
    options.replayPath = need();
  } else if (arg == "--mistakes") {
    options.mistakes = parseMistakes(need());
  } else if (arg == "--trace") {
    options.tracePath = need();
  } else if (arg == "--shot") {
    addShot(options, need());
  } else if (arg == "--wav") {
    options.wavPath = need();
  } else {
    usage("unknown option " + arg);
  }
}

RunnerOptions parseOptions(int argc, char** argv) {
  RunnerOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--autoplay") {
      options.autoplay = true;
    } else if (arg == "--no-sound") {
      options.noSoundDevice = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else {
      const std::string value = i + 1 < argc ? argv[i + 1] : std::string();
      takeOption(options, arg, i + 1 < argc ? &value : nullptr);
      if (i + 1 < argc) ++i;
    }
  }
  if (!options.mistakes.empty() && !options.autoplay) usage("--mistakes needs --autoplay");
  return options;
}

// A replay takes its clock, messages and sound device from the recording,
// and plays no further than its end line or, cut short, its last clock
// reading.
std::unique_ptr<zt::SessionReplay> loadReplay(RunnerOptions& options) {
  if (options.autoplay || !options.events.empty() || options.jitter > 0.0 ||
      options.noSoundDevice) {
    usage("--replay takes its keys, clock and sound from the recording");
  }
  zt::LoadedRecording recording;
  std::string error;
  if (!zt::loadRecording(readFile(options.replayPath), recording, error)) {
    badFile(options.replayPath, error);
  }
  options.events = std::move(recording.messages);
  options.noSoundDevice = !recording.replay->soundDevice();
  options.maxFrames = std::min(options.maxFrames, recording.frames);
  return std::move(recording.replay);
}

// Whether the replay ended where the recording did; says where not.
int checkReplay(const std::string& file, const zt::SessionReplay& replay, const zt::GameEnd& end) {
  const std::string failure = zt::replayFailure(replay, end);
  if (!failure.empty()) {
    std::fprintf(stderr, "zummertock-replay: %s: %s\n", file.c_str(), failure.c_str());
    return 1;
  }
  if (!replay.recordedEnd()) {
    std::fprintf(stderr,
                 "zummertock-replay: %s was cut short (it has no end line): replayed its %" PRIu64
                 " frames\n",
                 file.c_str(), end.frames);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  RunnerOptions options = parseOptions(argc, argv);
  std::unique_ptr<zt::SessionReplay> replay;
  if (!options.replayPath.empty()) replay = loadReplay(options);
  options.program.source = replay.get();
  if (!options.program.resourceBase) options.program.resourceBase = "";

  zt::HeadlessBackend backend(options.dt, !options.noSoundDevice, !options.wavPath.empty());
  zt::HeadlessPlatform& platform = backend.platform();
  if (options.jitter > 0.0) platform.setJitter(options.jitter, 1);
  if (replay) platform.followTime([&replay] { return replay->seconds(); });

  Runner runner(platform, options, replay.get());
  options.program.observer = &runner;
  zt::Program program(options.program);
  if (!program.open(backend)) return 1;
  program.start();
  while (program.runFrame()) {
  }
  const zt::GameEnd end = program.finish();
  const bool written = runner.finish();
  std::printf("frames %" PRIu64 ", mode %d, level %u, incorrect %d, status %d\n", end.frames,
              end.mode, end.level, end.incorrect, end.status);
  if (replay) {
    if (const int status = checkReplay(options.replayPath, *replay, end)) return status;
  }
  return written ? end.status : 1;
}
