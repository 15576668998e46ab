// send_close TITLE: sends WM_CLOSE to that window, as a task manager may. Status
// 0 once the window has answered, 1 when there is no such window.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  HWND window = argc == 2 ? FindWindowW(nullptr, argv[1]) : nullptr;
  if (window == nullptr) return 1;
  SendMessageW(window, WM_CLOSE, 0, 0);
  return 0;
}
