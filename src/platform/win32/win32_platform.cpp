#include "platform/win32/win32_platform.h"

// After windows.h, which it builds on.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "app/window_procedure.h"
#include "core/screen.h"
#include "display/gl_renderer.h"
#include "platform/win32/resource.h"

namespace zt {

static_assert(IDM_ABOUT == kCommandAbout && IDM_EXIT == kCommandExit,
              "the resource script's command ids are the game's");
// 40 bytes on every Windows: the size the format request is made with.
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "pixel format descriptor size");

namespace {

// The window procedure has only the window to go by; this is how it finds
// the platform behind it.
Win32Platform* windowPlatform = nullptr;

// A call of newer systems, looked up at run time: the program imports only
// what every Windows it runs on has.
template <typename Proc>
Proc user32Call(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  FARPROC found = user32 ? GetProcAddress(user32, name) : nullptr;
  // Through the generic function type, which converts to any other.
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(found));
}

// The dots per inch of the screen the window is on.
UINT dpiOf(HWND window) {
  static const auto forWindow = user32Call<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (forWindow) {
    if (const UINT dpi = forWindow(window)) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// The window rectangle around a client area of width x height on a screen
// of `dpi` (its frame grows with the scale).
RECT windowAround(int32_t width, int32_t height, UINT dpi) {
  using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = user32Call<AdjustForDpi>("AdjustWindowRectExForDpi");
  RECT rect = {0, 0, width, height};
  if (!adjust || !adjust(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0, dpi)) {
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
  }
  return rect;
}

LRESULT CALLBACK gameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (windowPlatform == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return windowPlatform->windowProcedure(window, message, wParam, lParam);
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE instance) : instance(instance) {
  windowPlatform = this;
}

Win32Platform::~Win32Platform() {
  if (windowPlatform == this) windowPlatform = nullptr;
}

PIXELFORMATDESCRIPTOR gamePixelFormat() {
  PIXELFORMATDESCRIPTOR format = {};
  format.nSize = sizeof format;
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 32;
  format.cDepthBits = 16;
  format.iLayerType = PFD_MAIN_PLANE;
  return format;
}

void Win32Platform::registerWindowClass(const wchar_t* className) {
  WNDCLASSEXW windowClass = {};
  // The structure's own size: 48 bytes in a 32-bit program, 80 in a 64-bit
  // one, and RegisterClassExW refuses any other.
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = gameWindowProcedure;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ZUMMERTOCK));
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = nullptr;
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = className;
  windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SMALL));
  RegisterClassExW(&windowClass);
}

int32_t Win32Platform::createGameWindow(int showCommand, const wchar_t* title,
                                        const wchar_t* className) {
  RECT rect = {0, 0, static_cast<LONG>(kWindowWidth), static_cast<LONG>(kWindowHeight)};
  AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
  HWND made = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                              rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                              instance, nullptr);
  if (made == nullptr) return 0;
  window = made;
  // On a high-density screen the window opens as large as its scale asks.
  RECT placed;
  GetWindowRect(window, &placed);
  sizeForScreen(dpiOf(window), POINT{placed.left, placed.top});

  deviceContext = GetDC(window);
  if (deviceContext == nullptr) {
    std::fputs("Error: couldn't get device context.\n", stderr);
    return -1;
  }

  const PIXELFORMATDESCRIPTOR wanted = gamePixelFormat();
  pixelFormat = ChoosePixelFormat(deviceContext, &wanted);
  if (pixelFormat == 0) {
    std::fputs("Error: couldn't get an appropriate pixel format.\n", stderr);
    return -1;
  }
  if (!SetPixelFormat(deviceContext, pixelFormat, &wanted)) {
    std::fputs("Error: couldn't set the pixel format.\n", stderr);
    return -1;
  }

  renderingContext = wglCreateContext(deviceContext);
  if (renderingContext == nullptr) {
    std::fputs("Error: couldn't create an OpenGL rendering context.\n", stderr);
    return -1;
  }

  wglMakeCurrent(deviceContext, renderingContext);
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return 1;
}

WindowMessage toWindowMessage(UINT message, WPARAM wParam) {
  WindowMessage result;
  switch (message) {
    case WM_DESTROY:
      result.kind = WindowMessage::Kind::Destroy;
      break;
    case WM_KEYDOWN:
      result.kind = WindowMessage::Kind::KeyDown;
      result.code = static_cast<uint32_t>(wParam);
      break;
    case WM_KEYUP:
      result.kind = WindowMessage::Kind::KeyUp;
      result.code = static_cast<uint32_t>(wParam);
      break;
    case WM_COMMAND:
      result.kind = WindowMessage::Kind::Command;
      result.code = LOWORD(wParam);
      break;
    default:
      break;
  }
  return result;
}

void Win32Platform::showOn(GlRenderer* display) {
  display_ = display;
  RECT client;
  if (display_ && GetClientRect(window, &client)) {
    display_->fitToClient(client.right - client.left, client.bottom - client.top);
  }
}

void Win32Platform::toggleFullScreen() {
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  if (!fullScreen_) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    windowedPlacement_.length = sizeof windowedPlacement_;
    if (!GetWindowPlacement(window, &windowedPlacement_) ||
        !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
      return;
    }
    SetWindowLongPtrW(window, GWL_STYLE, (style & ~WS_OVERLAPPEDWINDOW) | WS_POPUP);
    const RECT& area = monitor.rcMonitor;
    SetWindowPos(window, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  } else {
    SetWindowLongPtrW(window, GWL_STYLE, (style & ~WS_POPUP) | WS_OVERLAPPEDWINDOW);
    SetWindowPlacement(window, &windowedPlacement_);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
  }
  fullScreen_ = !fullScreen_;
}

void Win32Platform::sizeForScreen(UINT dpi, POINT at) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  RECT frame = {};
  for (int32_t zoom = zoomForDpi(dpi); zoom >= 1; --zoom) {
    frame = windowAround(zoom * static_cast<int32_t>(kLogicalWidth),
                         zoom * static_cast<int32_t>(kLogicalHeight), dpi);
    if (frame.right - frame.left <= work.right - work.left &&
        frame.bottom - frame.top <= work.bottom - work.top) {
      break;
    }
  }
  const LONG width = frame.right - frame.left;
  const LONG height = frame.bottom - frame.top;
  const LONG x = std::max(work.left, std::min(at.x, work.right - width));
  const LONG y = std::max(work.top, std::min(at.y, work.bottom - height));
  SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Win32Platform::windowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Messages arrive while CreateWindowExW is still running; the handle is
  // known from the first of them.
  if (window == nullptr) window = hwnd;
  // Bit 29 of a key message: Alt was down; bit 30: the key already was
  // (an auto-repeat).
  const bool altDown = (lParam & (1 << 29)) != 0;
  const bool repeat = (lParam & (1 << 30)) != 0;
  switch (message) {
    case WM_SIZE:
      // The picture follows the client area; the game sees nothing of it.
      if (display_) display_->fitToClient(LOWORD(lParam), HIWORD(lParam));
      break;
    case WM_DPICHANGED: {
      // Moved to a screen of another scale: the size that scale asks for,
      // where the system suggests. Full screen stays over its monitor.
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      if (!fullScreen_) sizeForScreen(HIWORD(wParam), POINT{suggested->left, suggested->top});
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam != VK_F11) break;
      if (!repeat) toggleFullScreen();
      return 0;
    case WM_SYSKEYDOWN:
      if (wParam != VK_RETURN || !altDown) break;
      if (!repeat) toggleFullScreen();
      return 0;
    case WM_SYSCHAR:
      // The character Alt+Enter makes; the default handling would beep.
      if (wParam == VK_RETURN && altDown) return 0;
      break;
    case WM_PAINT: {
      // Validates the window; nothing is drawn here, the frame loop draws.
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
    default:
      break;
  }
  const WindowMessage translated = toWindowMessage(message, wParam);
  if (!gameAnswers(translated)) return DefWindowProcW(hwnd, message, wParam, lParam);
  // The game's answer comes after the pump returns: the message waits for
  // the pump to hand it over. One that arrives between pumps (a close that
  // another program sends, a key released behind the About command) would
  // otherwise be lost: a window gone with the game still running, or a key
  // held.
  if (!(destroying_ && translated.kind == WindowMessage::Kind::Destroy)) {
    waiting_.push_back(translated);
  }
  return 0;
}

bool Win32Platform::pumpOneMessage(std::vector<WindowMessage>& taken) {
  // The pads' buttons join the queue as the keys' own messages would, and
  // take their turn in it like them.
  std::vector<WindowMessage> keys;
  pads_.poll(GetTickCount64(), keys);
  for (const WindowMessage& key : keys) {
    const bool down = key.kind == WindowMessage::Kind::KeyDown;
    // A key-up's lParam: it was down, and is being released.
    PostMessageW(window, down ? WM_KEYDOWN : WM_KEYUP, key.code, down ? 1 : 0xC0000001);
  }
  // Messages sent from other threads reach the window procedure inside
  // PeekMessageW, before the posted one it returns; all of them wait in
  // waiting_ in the order they came, behind those from before this pump.
  MSG message;
  const bool peeked = PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != FALSE;
  if (peeked && !TranslateAcceleratorW(window, accelerators_, &message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  const bool any = peeked || !waiting_.empty();
  taken.insert(taken.end(), waiting_.begin(), waiting_.end());
  waiting_.clear();
  return any;
}

void Win32Platform::showFrame() {
  SwapBuffers(deviceContext);
}

int64_t Win32Platform::counter() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return count.QuadPart;
}

double Win32Platform::counterFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart);
}

void Win32Platform::runAboutBox() {
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), window, aboutBoxProcedure, 0);
}

void Win32Platform::destroyWindow() {
  destroying_ = true;
  DestroyWindow(window);
  destroying_ = false;
}

INT_PTR CALLBACK aboutBoxProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
      }
      break;
    default:
      break;
  }
  return FALSE;
}

bool enableSwapInterval() {
  using SwapIntervalProc = BOOL(WINAPI*)(int);
  PROC proc = wglGetProcAddress("wglSwapIntervalEXT");
  if (proc == nullptr) return false;
  // Through the generic function type, which converts to any other.
  auto swapInterval = reinterpret_cast<SwapIntervalProc>(reinterpret_cast<void (*)()>(proc));
  return swapInterval(1) != FALSE;
}

namespace {

constexpr int kMaxLoadString = 100;

}  // namespace

bool Win32Backend::open() {
  wchar_t title[kMaxLoadString] = {};
  wchar_t className[kMaxLoadString] = {};
  LoadStringW(platform_.instance, IDS_APP_TITLE, title, kMaxLoadString);
  LoadStringW(platform_.instance, IDC_ZUMMERTOCK, className, kMaxLoadString);
  platform_.registerWindowClass(className);
  // A start-up that failed ends with a failing status, never as a success:
  // the OpenGL steps have printed their "Error: " line; a window that could
  // not be made says so here.
  const int created = platform_.createGameWindow(showCommand_, title, className);
  if (created != 1) {
    if (created == 0) std::fputs("Error: couldn't create the window.\n", stderr);
    return false;
  }
  platform_.setAccelerators(
      LoadAcceleratorsW(platform_.instance, MAKEINTRESOURCEW(IDC_ZUMMERTOCK)));
  enableSwapInterval();
  platform_.showOn(&display_);
  return true;
}

std::filesystem::path Win32Backend::programFolder() {
  std::wstring program(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, program.data(),
                                      static_cast<DWORD>(program.size()))) == program.size()) {
    program.resize(program.size() * 2);
  }
  program.resize(length);
  return std::filesystem::path(program).parent_path();
}

std::string Win32Backend::resourceBase(const std::filesystem::path& folder) {
  if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
  return {};
}

ProgramArguments commandLineArguments() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  ProgramArguments arguments;
  if (argv) arguments = parseProgramArguments(argc, argv, UnknownArguments::Ignore);
  LocalFree(argv);
  return arguments;
}

}  // namespace zt
