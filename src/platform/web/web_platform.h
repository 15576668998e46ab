#pragma once

#include <emscripten/html5.h>

#include <cstdint>
#include <vector>

#include "app/message_queue.h"
#include "app/pad_keys.h"
#include "app/platform.h"
#include "display/software_renderer.h"
#include "display/webgl_presenter.h"
#include "platform/web/web_wave_device.h"
#include "program/program.h"

namespace zt {

// The game's platform in a browser page: the page's keys as the game's
// messages (one taken per frame), game pads (the Gamepad API's standard
// mapping, polled once a frame) as the keys they stand for, the browser's
// high-resolution clock, an About box in the page, Web Audio, and the
// composed frame shown on a WebGL canvas at the largest whole zoom that fits.
class WebPlatform : public Platform {
 public:
  explicit WebPlatform(SoftwareRenderer& display) : display_(display) {}

  // The WebGL context on the page's canvas and what shows the frame; false
  // after a line on standard error when the browser has none.
  bool createContext();

  // A key event the page passed on (the page keeps the ones it acts on
  // itself: full screen, and the click or key that started the game), with
  // the browser's `code` (where the key is) and `key` (what it types).
  void keyEvent(bool down, const char* code, const char* key, bool alt);
  // The About box was closed: the game goes on.
  void aboutClosed() { aboutOpen_ = false; }
  // While the page shows the About box the game waits, as behind the modal
  // box on the desktop.
  bool waiting() const { return aboutOpen_; }

  bool pumpOneMessage(std::vector<WindowMessage>& taken) override;
  void showFrame() override;
  int64_t counter() override;
  double counterFrequency() override { return 1e6; }  // microseconds
  void runAboutBox() override;
  WaveDevice* waveDevice() override { return &wave_; }

 private:
  SoftwareRenderer& display_;
  WebGlPresenter presenter_;
  WebWaveDevice wave_;
  MessageQueue queue_;  // one message a step, as a window has
  PadKeys pads_;
  std::vector<WindowMessage> padMessages_;
  bool aboutOpen_ = false;
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context_ = 0;
};

// The browser's backend: the composed display and the platform over the
// page's canvas.
class WebBackend : public Backend {
 public:
  bool open() override { return platform_.createContext(); }
  WebPlatform& platform() override { return platform_; }
  Renderer& display() override { return display_; }

 private:
  SoftwareRenderer display_;
  WebPlatform platform_{display_};
};

}  // namespace zt
