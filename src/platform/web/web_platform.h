#pragma once

#include <emscripten/html5.h>

#include <cstdint>
#include <vector>

#include "app/message_queue.h"
#include "app/platform.h"
#include "display/software_renderer.h"
#include "display/webgl_presenter.h"
#include "platform/web/page_input.h"
#include "platform/web/web_wave_device.h"
#include "program/program.h"

namespace zt {

// The game's platform in a browser page: the page's inputs as the game's
// messages (PageInput decides them; one message step a frame), the
// browser's high-resolution clock less the time the page was hidden, an
// About box in the page, Web Audio, and the composed frame shown on the
// page's WebGL canvas.
class WebPlatform : public Platform {
 public:
  explicit WebPlatform(SoftwareRenderer& display) : display_(display) {}

  // The WebGL context on the page's canvas and what shows the frame; false
  // after a line on standard error when the browser has none.
  bool createContext();

  PageInput::KeyUse keyEvent(bool down, const char* code, const char* key, uint32_t modifiers);
  void touchEvent(int32_t id, bool down, PageInput::Control control);
  // The page was hidden or shown, or lost or took the focus. Leaving it lets
  // go of everything held; while it is hidden no frame runs and its clock
  // stands still, so the frame after it measures an ordinary frame.
  void pageChanged(bool visible, bool focused);
  // The About box was closed: the game goes on.
  void aboutClosed() { aboutOpen_ = false; }
  // No frame runs behind the About box (as behind the desktop's modal box)
  // nor while the page is hidden.
  bool waiting() const { return aboutOpen_ || hidden_; }

  bool pumpOneMessage(std::vector<WindowMessage>& taken) override;
  void showFrame() override;
  int64_t counter() override;
  double counterFrequency() override { return 1e6; }  // microseconds
  void runAboutBox() override;
  WaveDevice* waveDevice() override { return &wave_; }

 private:
  void post(std::vector<WindowMessage>& messages);

  SoftwareRenderer& display_;
  WebGlPresenter presenter_;
  WebWaveDevice wave_;
  PageInput input_;
  MessageQueue queue_;                 // one message a step, as a window has
  std::vector<WindowMessage> posted_;  // reused
  bool aboutOpen_ = false;
  bool hidden_ = false;
  double hiddenSince_ = 0.0;  // ms, the browser's clock
  double hiddenTime_ = 0.0;   // ms the page has been hidden, all told
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
