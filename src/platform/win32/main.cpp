// The Windows entry: loads the title and class name, makes the window with
// its OpenGL context, loads the accelerators and hands over to the game.
#include <windows.h>

#include <cstdio>

#include "app/frame_loop.h"
#include "display/gl_renderer.h"
#include "platform/win32/resource.h"
#include "platform/win32/win32_platform.h"

namespace {

constexpr int kMaxLoadString = 100;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
  wchar_t title[kMaxLoadString] = {};
  wchar_t className[kMaxLoadString] = {};
  LoadStringW(instance, IDS_APP_TITLE, title, kMaxLoadString);
  LoadStringW(instance, IDC_ZUMMERTOCK, className, kMaxLoadString);

  zt::Win32Platform platform(instance);
  platform.registerWindowClass(className);
  // A start-up that failed ends with a failing status (1), never as a
  // success: the OpenGL steps have printed their "Error: " line; a window
  // that could not be made says so here.
  const int created = platform.createGameWindow(showCommand, title, className);
  if (created != 1) {
    if (created == 0) std::fputs("Error: couldn't create the window.\n", stderr);
    return 1;
  }

  platform.setAccelerators(LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDC_ZUMMERTOCK)));
  zt::enableSwapInterval();

  zt::GlRenderer display([&platform] { platform.swapBuffers(); });
  // resources/ is read from the working folder. The game closes the sound
  // device once its mixer has stopped: a device left playing while the
  // process ends can take the process down with it (seen under Wine).
  return zt::runGame(platform, display, zt::GameOptions{}).status;
}
