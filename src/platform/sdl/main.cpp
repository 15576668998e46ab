// The Linux program: the game on the SDL2 backend.
#include "platform/sdl/sdl_platform.h"
#include "program/command_line.h"
#include "program/program.h"

// For sanitized builds: the desktop libraries SDL starts (D-Bus, the X and
// GL drivers) keep allocations of their own until exit. The leak checker
// should report only ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\nleak:libX11.so\nleak:libGLX_mesa.so\nleak:_dri.so\n";
}

extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}

int main(int argc, char** argv) {
  zt::SdlBackend backend;
  return zt::runProgram(backend,
                        zt::parseProgramArguments(argc, argv, zt::UnknownArguments::Refuse));
}
