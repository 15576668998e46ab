#include "platform/win32/win32_platform.h"

#include "platform/win32/resource.h"
#include "platform/win32/win32_window.h"

namespace zt {

bool Win32Platform::pumpOneMessage() {
  MSG message;
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (!TranslateAcceleratorW(gameWindow.window, accelerators_, &message)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

void Win32Platform::swapBuffers() {
  SwapBuffers(gameWindow.deviceContext);
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
  DialogBoxParamW(gameWindow.instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), gameWindow.window,
                  aboutBoxProcedure, 0);
}

void Win32Platform::validatePaint() {
  PAINTSTRUCT paint;
  BeginPaint(gameWindow.window, &paint);
  EndPaint(gameWindow.window, &paint);
}

void Win32Platform::destroyWindow() {
  DestroyWindow(gameWindow.window);
}

void Win32Platform::postQuitMessage(int32_t code) {
  PostQuitMessage(code);
}

bool enableSwapInterval() {
  using SwapIntervalProc = BOOL(WINAPI*)(int);
  PROC proc = wglGetProcAddress("wglSwapIntervalEXT");
  if (proc == nullptr) return false;
  // Through the generic function type, which converts to any other.
  auto swapInterval = reinterpret_cast<SwapIntervalProc>(reinterpret_cast<void (*)()>(proc));
  return swapInterval(1) != FALSE;
}

}  // namespace zt
