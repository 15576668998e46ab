#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "app/platform.h"
#include "display/gl_renderer.h"
#include "platform/win32/winmm_wave_device.h"
#include "platform/win32/xinput_pads.h"
#include "program/command_line.h"
#include "program/program.h"

namespace zt {

// The game's platform on Windows: one window with a WGL context, its
// message queue with the accelerator table, the buffer swap, the
// performance counter, the About box, WinMM, and the XInput pads, whose
// buttons are posted to the window as the keys they stand for. There is one per process:
// the window class's procedure finds it.
class Win32Platform : public Platform {
 public:
  explicit Win32Platform(HINSTANCE instance);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Registers the window class (the result is not checked: a failure shows
  // as a window that cannot be created).
  void registerWindowClass(const wchar_t* className);
  // Creates the window with a 640 x 480 client area and a current OpenGL
  // context, and shows it. 1 on success, 0 when the window cannot be made
  // (nothing printed), -1 after an "Error: " line when an OpenGL step fails.
  int32_t createGameWindow(int showCommand, const wchar_t* title, const wchar_t* className);
  void setAccelerators(HACCEL accelerators) { accelerators_ = accelerators; }
  // The display to keep fitted to the client area's size.
  void showOn(GlRenderer* display);

  bool pumpOneMessage(std::vector<WindowMessage>& taken) override;
  void showFrame() override;
  int64_t counter() override;
  double counterFrequency() override;
  void runAboutBox() override;
  void destroyWindow() override;
  WaveDevice* waveDevice() override { return &waveDevice_; }

  // What the window class's procedure does: paint and destroy at the edge,
  // the game's messages to the game, the rest to DefWindowProcW.
  LRESULT windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // The window's handles, made once and kept for the life of the process.
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HDC deviceContext = nullptr;
  HGLRC renderingContext = nullptr;
  int pixelFormat = 0;

 private:
  // F11 and Alt+Enter: borderless over the whole monitor, and back.
  void toggleFullScreen();
  // The window sized for a screen of `dpi`: its client area at the zoom
  // that scale asks for (zoomForDpi), reduced until the window fits the
  // monitor's work area; its top-left corner at `at`, moved in as far as
  // needed to keep it on the work area.
  void sizeForScreen(UINT dpi, POINT at);

  HACCEL accelerators_ = nullptr;
  XInputPads pads_{XInputPads::systemGetState()};
  // The game's messages as the window procedure saw them, in that order,
  // until the pump hands them over: those it dispatches itself, and those
  // that come outside its dispatch (sent from another thread or program,
  // or dispatched by the About box's own loop).
  std::vector<WindowMessage> waiting_;
  // Set while the game's Exit destroys the window: that destroy is the
  // game's own doing and is not handed back.
  bool destroying_ = false;
  WinmmWaveDevice waveDevice_;
  GlRenderer* display_ = nullptr;
  bool fullScreen_ = false;
  WINDOWPLACEMENT windowedPlacement_ = {};
};

// What the game asks of the pixel format: RGBA, 32 colour bits, 16 depth
// bits, double-buffered OpenGL on a window.
PIXELFORMATDESCRIPTOR gamePixelFormat();

// The system message as the game sees it; messages the game has no word
// for are Kind::Other.
WindowMessage toWindowMessage(UINT message, WPARAM wParam);

// The About box's dialog procedure: OK and Cancel end it with their id.
INT_PTR CALLBACK aboutBoxProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The Windows program's backend: the title and class name from the string
// table, the window with its WGL context, the accelerators, and the
// resources folder made the working folder.
class Win32Backend : public Backend {
 public:
  Win32Backend(HINSTANCE instance, int showCommand)
      : platform_(instance), showCommand_(showCommand) {}
  bool open() override;
  Platform& platform() override { return platform_; }
  Renderer& display() override { return display_; }
  std::filesystem::path programFolder() override;
  // The loaders take their paths as given, and the program's folder may be
  // named in any script: the folder becomes the working folder instead.
  std::string resourceBase(const std::filesystem::path& folder) override;

 private:
  Win32Platform platform_;
  GlRenderer display_;
  int showCommand_;
};

// The program's command line, from the system (Windows does not hand it
// over as UTF-16 arguments to wWinMain). Arguments it does not know are
// let be: Windows passes on what no player typed.
ProgramArguments commandLineArguments();

// Asks the driver to wait for the display at each swap, where it offers that
// (WGL_EXT_swap_control), so the loop does not spin faster than the screen.
// Needs a current context. True when the driver took it.
bool enableSwapInterval();

}  // namespace zt
