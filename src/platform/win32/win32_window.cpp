#include "platform/win32/win32_window.h"

#include <cstdio>

#include "app/window_procedure.h"
#include "platform/win32/resource.h"

namespace zt {

GameWindow gameWindow;

namespace {

Platform* windowPlatform = nullptr;

// 40 bytes on every Windows: the size the format request is made with.
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "pixel format descriptor size");

}  // namespace

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

void registerWindowClass(HINSTANCE instance, const wchar_t* className) {
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

int32_t createGameWindow(HINSTANCE instance, int showCommand, const wchar_t* title,
                         const wchar_t* className) {
  gameWindow.instance = instance;

  RECT rect = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, 0,
                                rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) return 0;
  gameWindow.window = window;

  HDC deviceContext = GetDC(window);
  if (deviceContext == nullptr) {
    std::fputs("Error: couldn't get device context.\n", stderr);
    return -1;
  }
  gameWindow.deviceContext = deviceContext;

  const PIXELFORMATDESCRIPTOR wanted = gamePixelFormat();
  const int pixelFormat = ChoosePixelFormat(deviceContext, &wanted);
  if (pixelFormat == 0) {
    std::fputs("Error: couldn't get an appropriate pixel format.\n", stderr);
    return -1;
  }
  gameWindow.pixelFormat = pixelFormat;
  if (!SetPixelFormat(deviceContext, pixelFormat, &wanted)) {
    std::fputs("Error: couldn't set the pixel format.\n", stderr);
    return -1;
  }

  HGLRC renderingContext = wglCreateContext(deviceContext);
  if (renderingContext == nullptr) {
    std::fputs("Error: couldn't create an OpenGL rendering context.\n", stderr);
    return -1;
  }
  gameWindow.renderingContext = renderingContext;

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
    case WM_PAINT:
      result.kind = WindowMessage::Kind::Paint;
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

void setWindowPlatform(Platform* platform) {
  windowPlatform = platform;
}

LRESULT CALLBACK gameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Messages arrive while CreateWindowExW is still running; the handle is
  // known from the first of them.
  if (gameWindow.window == nullptr) gameWindow.window = window;
  const WindowMessage translated = toWindowMessage(message, wParam);
  if (translated.kind == WindowMessage::Kind::Other || windowPlatform == nullptr) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (windowProcedure(*windowPlatform, translated) == MessageResult::Handled) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
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

}  // namespace zt
