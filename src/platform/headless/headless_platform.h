#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/platform.h"
#include "platform/headless/autoplayer.h"

namespace zt {

class HeadlessWaveDevice;
class OffscreenGl;

// A key, command or close event of a replay script, queued before its frame.
struct ScriptEvent {
  uint64_t frame = 0;
  WindowMessage message;
};

// Parses a replay script: one event per line, "FRAME down|up right|d|escape",
// "FRAME about" or "FRAME close"; '#' starts a comment. Returns false and
// sets error (with the line number) on a malformed line.
bool parseScript(const std::string& text, std::vector<ScriptEvent>& events, std::string& error);

struct HeadlessOptions {
  double dt = 1.0 / 60.0;
  uint64_t maxFrames = 100000;
  std::vector<ScriptEvent> events;
  bool autoplay = false;
  std::vector<uint32_t> mistakes;  // levels the autoplayer loses once each
  std::string tracePath;
  std::map<uint64_t, std::vector<std::string>> shots;  // frame -> PNG files
  std::string wavPath;
  bool noSoundDevice = false;  // the wave device refuses to open
};

// No window and no display: offscreen OpenGL, a virtual clock that moves on
// by dt at every present, scripted or autoplayed key messages, a wave device
// that plays in virtual time and records what it was given.
class HeadlessPlatform : public Platform {
 public:
  explicit HeadlessPlatform(HeadlessOptions options);
  ~HeadlessPlatform() override;

  // False (after a message on stderr) when no offscreen context can be made.
  bool createContext();

  bool pumpOneMessage() override;
  void swapBuffers() override;
  int64_t counter() override { return presents_; }
  double counterFrequency() override { return 1.0 / options_.dt; }
  void runAboutBox() override {}
  void destroyWindow() override;
  WaveDevice* waveDevice() override;
  void beforeFrame(uint64_t frame) override;
  bool afterFrame(uint64_t frame) override;

  // Writes the recorded sound, if asked for. True when nothing failed.
  bool finish();

  uint64_t presents() const { return presents_; }

 private:
  void writeTrace(uint64_t frame);

  HeadlessOptions options_;
  std::unique_ptr<OffscreenGl> gl_;
  std::unique_ptr<HeadlessWaveDevice> wave_;
  std::unique_ptr<Autoplayer> autoplayer_;
  std::deque<WindowMessage> queue_;
  size_t nextEvent_ = 0;
  int64_t presents_ = 0;
  FILE* trace_ = nullptr;
  bool ok_ = true;
};

}  // namespace zt
