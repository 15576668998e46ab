// The Windows entry: loads the title and class name, makes the window with
// its OpenGL context, loads the accelerators and hands over to the game.
#include <windows.h>

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
  if (zt::createGameWindow(instance, showCommand, title, className) != 1) return 0;

  platform.setAccelerators(LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_ZUMMERTOCK)));
  zt::enableSwapInterval();

  zt::GameOptions options;  // resources/ is read from the working directory
  const int status = zt::runGame(platform, options);
  // The game has stopped its mixer; a device left playing while the process
  // ends can take the process down with it (seen under Wine).
  platform.closeWaveDevice();
  return status;
}
