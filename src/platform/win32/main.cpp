// The Windows entry: loads the title and class name, makes the window with
// its OpenGL context, loads the accelerators and hands over to the game.
#include <windows.h>

#include <cstdio>

#include "app/frame_loop.h"
#include "platform/win32/resource.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"

namespace {

constexpr int kMaxLoadString = 100;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
  wchar_t title[kMaxLoadString] = {};
  wchar_t className[kMaxLoadString] = {};
  LoadStringW(instance, IDS_APP_TITLE, title, kMaxLoadString);
  LoadStringW(instance, IDC_ZUMMERTOCK, className, kMaxLoadString);

  // Static: the window procedure may reach it until the process ends.
  static zt::Win32Platform platform;
  zt::setWindowPlatform(&platform);
  zt::registerWindowClass(instance, className);
  // A start-up that failed ends with a failing status (1), never as a
  // success: the OpenGL steps have printed their "Error: " line; a window
  // that could not be made says so here.
  const int created = zt::createGameWindow(instance, showCommand, title, className);
  if (created != 1) {
    if (created == 0) std::fputs("Error: couldn't create the window.\n", stderr);
    return 1;
  }

  platform.setAccelerators(LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_ZUMMERTOCK)));
  zt::enableSwapInterval();

  zt::GameOptions options;  // resources/ is read from the working directory
  const int status = zt::runGame(platform, options);
  // The game has stopped its mixer; a device left playing while the process
  // ends can take the process down with it (seen under Wine).
  platform.closeWaveDevice();
  return status;
}
