// The Windows entry: loads the title and class name, makes the window with
// its OpenGL context, loads the accelerators and hands over to the game.
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/frame_loop.h"
#include "app/resource_folder.h"
#include "app/session_file.h"
#include "display/gl_renderer.h"
#include "platform/win32/resource.h"
#include "platform/win32/win32_platform.h"

namespace {

constexpr int kMaxLoadString = 100;

// resources/ in the working folder, else in the program's own folder, which
// then becomes the working folder: the loaders take the paths as given, and
// the program's folder may be named in any script.
void findResources() {
  std::wstring program(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, program.data(),
                                      static_cast<DWORD>(program.size()))) == program.size()) {
    program.resize(program.size() * 2);
  }
  program.resize(length);
  const std::filesystem::path folder = std::filesystem::path(program).parent_path();
  const std::filesystem::path found = zt::findResourceFolder(zt::resourceFolders(folder));
  if (!found.empty()) SetCurrentDirectoryW(found.c_str());
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const zt::ProgramArguments<wchar_t> arguments =
      argv ? zt::parseProgramArguments(argc, argv) : zt::ProgramArguments<wchar_t>{};
  LocalFree(argv);
  if (!arguments.ok) {
    std::fputs(zt::kProgramUsage, stderr);
    return 2;
  }
  // The session is written down from the start, each line as it happens;
  // opened before anything changes the working folder.
  std::unique_ptr<zt::SessionRecorder> recorder;
  if (!arguments.recordPath.empty()) {
    std::FILE* file = _wfopen(arguments.recordPath.c_str(), L"wb");
    if (!file) {
      std::fputs("Error: couldn't write the recording.\n", stderr);
      return 1;
    }
    recorder = std::make_unique<zt::SessionRecorder>(file);
  }

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

  findResources();
  zt::GlRenderer display;
  platform.showOn(&display);
  // The game closes the sound device once its mixer has stopped: a device
  // left playing while the process ends can take the process down with it
  // (seen under Wine).
  zt::GameOptions options;
  options.session = recorder.get();
  return zt::runGame(platform, display, options).status;
}
