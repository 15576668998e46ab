// The Windows program: the game on the Win32 backend.
#include <windows.h>

#include "platform/win32/win32_platform.h"
#include "program/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
  zt::Win32Backend backend(instance, showCommand);
  // The game closes the sound device once its mixer has stopped: a device
  // left playing while the process ends can take the process down with it
  // (seen under Wine).
  return zt::runProgram(backend, zt::commandLineArguments());
}
