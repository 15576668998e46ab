#pragma once

#include <windows.h>

#include "app/platform.h"
#include "platform/win32/winmm_wave_device.h"

namespace zt {

// The game's platform on Windows: the window made by createGameWindow, its
// message queue with the accelerator table, WGL's buffer swap, the
// performance counter, the About box and WinMM.
class Win32Platform : public Platform {
 public:
  void setAccelerators(HACCEL accelerators) { accelerators_ = accelerators; }

  bool pumpOneMessage() override;
  void swapBuffers() override;
  int64_t counter() override;
  double counterFrequency() override;
  void runAboutBox() override;
  void validatePaint() override;
  void destroyWindow() override;
  void postQuitMessage(int32_t code) override;
  WaveDevice* waveDevice() override { return &waveDevice_; }
  // After the game has ended (and stopped its mixer).
  void closeWaveDevice() { waveDevice_.close(); }

 private:
  HACCEL accelerators_ = nullptr;
  WinmmWaveDevice waveDevice_;
};

// Asks the driver to wait for the display at each swap, where it offers that
// (WGL_EXT_swap_control), so the loop does not spin faster than the screen.
// Needs a current context. True when the driver took it.
bool enableSwapInterval();

}  // namespace zt
