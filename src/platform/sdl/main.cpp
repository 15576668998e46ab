// The Linux program: the game on the SDL2 backend.
#include "platform/sdl/sdl_platform.h"
#include "program/command_line.h"
#include "program/program.h"

int main(int argc, char** argv) {
  zt::SdlBackend backend;
  return zt::runProgram(backend,
                        zt::parseProgramArguments(argc, argv, zt::UnknownArguments::Refuse));
}
