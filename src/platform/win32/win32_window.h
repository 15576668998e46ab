#pragma once

#include <windows.h>

#include <cstdint>

#include "app/platform.h"

namespace zt {

// The window's handles, made once and kept for the life of the process
// (none is released: the process ends with them).
struct GameWindow {
  HINSTANCE instance = nullptr;
  HWND window = nullptr;
  HDC deviceContext = nullptr;
  HGLRC renderingContext = nullptr;
  int pixelFormat = 0;
};
extern GameWindow gameWindow;

// The window's client area.
constexpr LONG kClientWidth = 640;
constexpr LONG kClientHeight = 480;

// What the game asks of the pixel format: RGBA, 32 colour bits, 16 depth
// bits, double-buffered OpenGL on a window.
PIXELFORMATDESCRIPTOR gamePixelFormat();

// Registers the window class (the result is not checked: a failure shows as
// a window that cannot be created).
void registerWindowClass(HINSTANCE instance, const wchar_t* className);

// Creates the window with a current OpenGL context and shows it. 1 on
// success, 0 when the window cannot be created (nothing printed), -1 after
// an "Error: " line when an OpenGL step fails.
int32_t createGameWindow(HINSTANCE instance, int showCommand, const wchar_t* title,
                         const wchar_t* className);

// The system message as the shared window procedure sees it; messages the
// game has no word for are Kind::Other.
WindowMessage toWindowMessage(UINT message, WPARAM wParam);

// The About box's dialog procedure: OK and Cancel end it with their id.
INT_PTR CALLBACK aboutBoxProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The platform the window procedure reports to; set before the window is made.
void setWindowPlatform(Platform* platform);

// Hands the game's messages to the shared window procedure, the rest to
// DefWindowProcW.
LRESULT CALLBACK gameWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zt
