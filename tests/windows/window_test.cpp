// The window, its procedure, the one-message pump with its accelerators and
// the About box, run against a real window (under Wine in a virtual display).
#include <windows.h>

#include <string>
#include <vector>

#include "app/keys.h"
#include "app/window_procedure.h"
#include "check.h"
#include "platform/win32/win32_platform.h"

namespace {

// The game's side of the window as zt::Game has it: the pump's messages
// through the game's window procedure, over a key state and a quit flag of
// the test's own.
struct GameSide {
  explicit GameSide(zt::Platform& platform) : platform(platform) {}
  // The frame's message step; false when the queue was empty.
  bool pump() {
    std::vector<zt::WindowMessage> taken;
    const bool any = platform.pumpOneMessage(taken);
    for (const zt::WindowMessage& message : taken) {
      ++delivered;
      zt::handleWindowMessage(message, keys, quitRequested, platform);
    }
    return any;
  }
  // Posts a message to the window and works off the queue, the characters
  // the translation step posts behind some keys included.
  void post(HWND window, UINT message, WPARAM wParam, LPARAM lParam = 0) {
    PostMessageW(window, message, wParam, lParam);
    for (int i = 0; i < 100 && pump(); ++i) {
    }
  }
  void reset() {
    keys = zt::KeyState{};
    quitRequested = false;
    delivered = 0;
  }

  zt::Platform& platform;
  zt::KeyState keys;
  bool quitRequested = false;
  int delivered = 0;  // messages that reached the game
};

struct Backend {
  zt::Win32Platform platform{GetModuleHandleW(nullptr)};
  GameSide game{platform};
};

Backend& backend() {
  static Backend instance;
  return instance;
}
zt::Win32Platform& platform() {
  return backend().platform;
}
GameSide& game() {
  return backend().game;
}

// The game's window, made as the entry makes it; again after a test has
// destroyed it.
HWND gameWindowForTest() {
  static bool registered = false;
  if (!registered) {
    platform().registerWindowClass(L"QQQQQQQQ");
    registered = true;
  }
  if (platform().window == nullptr || !IsWindow(platform().window)) {
    platform().window = nullptr;
    if (platform().createGameWindow(SW_SHOWNORMAL, L"QQQQQQQQ", L"QQQQQQQQ") != 1) return nullptr;
    platform().setAccelerators(LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(109)));
  }
  return platform().window;
}

// Works off whatever the system has queued, so that a test sees its own
// messages first.
void drainQueue() {
  for (int i = 0; i < 1000 && game().pump(); ++i) {
  }
}

// Watches for the About box from a thread timer (which fires inside its
// modal loop) and closes it with the given message.
struct AboutWatch {
  UINT message = WM_COMMAND;
  WPARAM wParam = IDOK;
  bool post = false;  // post instead of send (keys go through the dialog's loop)
  bool seen = false;
  HWND owner = nullptr;
  int ticks = 0;
};
AboutWatch* watch = nullptr;

void CALLBACK watchTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (watch == nullptr) return;
  HWND dialog = FindWindowW(L"#32770", L"About florbit");
  if (dialog != nullptr && IsWindowVisible(dialog) && !watch->seen) {
    watch->seen = true;
    watch->owner = GetWindow(dialog, GW_OWNER);
    HWND target = watch->post && GetFocus() != nullptr ? GetFocus() : dialog;
    if (watch->post) {
      PostMessageW(target, watch->message, watch->wParam, 0);
    } else {
      SendMessageW(dialog, watch->message, watch->wParam, 0);
    }
  } else if (dialog != nullptr && ++watch->ticks > 100) {
    // The box ignored what it was sent: close it so the test can go on.
    EndDialog(dialog, 99);
  }
}

// Runs the About box with the game's procedure and closes it as told.
INT_PTR runAbout(AboutWatch& w) {
  watch = &w;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, watchTimer);
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(103), nullptr,
                                         zt::aboutBoxProcedure, 0);
  KillTimer(nullptr, timer);
  watch = nullptr;
  return result;
}

}  // namespace

TEST_CASE("the window has a 640x480 client area and a current double-buffered GL context") {
  HWND window = gameWindowForTest();
  CHECK(window != nullptr);
  if (window == nullptr) return;
  RECT client;
  GetClientRect(window, &client);
  CHECK_EQ(client.right - client.left, 640);
  CHECK_EQ(client.bottom - client.top, 480);
  CHECK(GetMenu(window) == nullptr);
  CHECK_EQ(GetClassLongPtrW(window, GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_OWNDC);
  CHECK(GetClassLongPtrW(window, GCLP_HICON) != 0);
  CHECK(GetClassLongPtrW(window, GCLP_HICONSM) != 0);
  CHECK(GetClassLongPtrW(window, GCLP_HBRBACKGROUND) == 0);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  CHECK_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  wchar_t title[100] = {};
  GetWindowTextW(window, title, 100);
  CHECK(std::wstring(title) == L"QQQQQQQQ");

  CHECK(wglGetCurrentContext() == platform().renderingContext);
  CHECK(wglGetCurrentDC() == platform().deviceContext);
  PIXELFORMATDESCRIPTOR got = {};
  DescribePixelFormat(platform().deviceContext, platform().pixelFormat, sizeof got, &got);
  const DWORD needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  CHECK_EQ(got.dwFlags & needed, needed);
  CHECK_EQ(got.iPixelType, PFD_TYPE_RGBA);
  CHECK(got.cColorBits >= 24);
}

TEST_CASE("key messages: the three game keys change the key state, other keys are answered") {
  HWND window = gameWindowForTest();
  if (window == nullptr) return CHECK(window != nullptr);
  drainQueue();
  game().reset();
  // Answered by the window procedure whether or not a pump is running.
  CHECK_EQ(SendMessageW(window, WM_KEYDOWN, VK_F5, 0), 0);
  CHECK_EQ(SendMessageW(window, WM_KEYUP, 'D', 0), 0);
  CHECK_EQ(game().delivered, 0);

  game().post(window, WM_KEYDOWN, 'D');
  CHECK(game().keys.currentKeys[zt::kKeyD] == 1.0f);
  CHECK(!game().keys.keysSettled);
  game().post(window, WM_KEYDOWN, VK_RIGHT);
  CHECK(game().keys.currentKeys[zt::kKeyRight] == 1.0f);
  game().post(window, WM_KEYUP, 'D');
  CHECK(game().keys.currentKeys[zt::kKeyD] == 0.0f);
  CHECK(game().keys.previousKeys[zt::kKeyD] == 1.0f);
  game().post(window, WM_KEYDOWN, VK_ESCAPE);
  CHECK(game().keys.isEscapeHeld());

  game().reset();
  game().post(window, WM_KEYDOWN, VK_F5);
  CHECK_EQ(game().delivered, 1);
  CHECK(game().keys.keysSettled);
  // With Alt down keys arrive as system keys, which the game never sees.
  game().reset();
  game().post(window, WM_SYSKEYDOWN, 'D', 1 << 29);
  CHECK_EQ(game().delivered, 0);
  CHECK(game().keys.currentKeys[zt::kKeyD] == 0.0f);
  game().reset();
}

TEST_CASE("the pump handles one queued message per call, in order") {
  HWND window = gameWindowForTest();
  if (window == nullptr) return CHECK(window != nullptr);
  drainQueue();
  game().reset();
  PostMessageW(window, WM_KEYDOWN, VK_RIGHT, 1);
  PostMessageW(window, WM_KEYDOWN, 'D', 1);
  CHECK(game().pump());
  CHECK(game().keys.currentKeys[zt::kKeyRight] == 1.0f);
  CHECK(game().keys.currentKeys[zt::kKeyD] == 0.0f);
  CHECK(game().pump());
  CHECK(game().keys.currentKeys[zt::kKeyD] == 1.0f);
  game().reset();
}

TEST_CASE("painting validates the window at the edge and never reaches the game") {
  HWND window = gameWindowForTest();
  if (window == nullptr) return CHECK(window != nullptr);
  drainQueue();
  game().reset();
  InvalidateRect(window, nullptr, FALSE);
  CHECK(GetUpdateRect(window, nullptr, FALSE));
  // WM_PAINT comes whenever the queue is otherwise empty and the window
  // still needs painting: left unvalidated, the drain would never run dry.
  drainQueue();
  CHECK(!GetUpdateRect(window, nullptr, FALSE));
  CHECK_EQ(game().delivered, 0);
}

TEST_CASE("Alt+/ and Alt+? through the pump open the About box over the window") {
  HWND window = gameWindowForTest();
  if (window == nullptr) return CHECK(window != nullptr);
  // Alt held, as the accelerator's ALT flag asks (read from the thread's
  // key state by some systems, from the message by others).
  BYTE keys[256];
  GetKeyboardState(keys);
  const BYTE altBefore = keys[VK_MENU];
  keys[VK_MENU] |= 0x80;
  SetKeyboardState(keys);
  for (WPARAM key : {WPARAM('/'), WPARAM('?')}) {
    drainQueue();
    AboutWatch w;
    watch = &w;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, watchTimer);
    // The character that Alt+key gives, as the system posts it.
    PostMessageW(window, WM_SYSCHAR, key, 1 | (1 << 29));
    game().pump();
    KillTimer(nullptr, timer);
    watch = nullptr;
    CHECK(w.seen);
    CHECK(w.owner == window);
  }
  keys[VK_MENU] = altBefore;
  SetKeyboardState(keys);
  // Without Alt the same character is only a character.
  drainQueue();
  AboutWatch w;
  watch = &w;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, watchTimer);
  PostMessageW(window, WM_CHAR, '/', 1);
  game().pump();
  KillTimer(nullptr, timer);
  watch = nullptr;
  CHECK(!w.seen);
}

TEST_CASE("the About box ends with OK, Cancel, Enter, Escape and its close box") {
  struct Way {
    UINT message;
    WPARAM wParam;
    bool post;
    INT_PTR result;
  };
  const Way ways[] = {
      {WM_COMMAND, IDOK, false, IDOK},
      {WM_COMMAND, IDCANCEL, false, IDCANCEL},
      {WM_KEYDOWN, VK_RETURN, true, IDOK},
      {WM_KEYDOWN, VK_ESCAPE, true, IDCANCEL},
      {WM_SYSCOMMAND, SC_CLOSE, false, IDCANCEL},
  };
  for (const Way& way : ways) {
    AboutWatch w;
    w.message = way.message;
    w.wParam = way.wParam;
    w.post = way.post;
    const INT_PTR result = runAbout(w);
    CHECK(w.seen);
    CHECK_EQ(result, way.result);
  }
  // Any other command leaves it open (the watch then closes it with 99).
  AboutWatch other;
  other.wParam = 105;
  CHECK_EQ(runAbout(other), 99);
}

TEST_CASE("command 105 destroys the window: quit message with code 0 and the loop's end") {
  HWND window = gameWindowForTest();
  if (window == nullptr) return CHECK(window != nullptr);
  drainQueue();
  game().reset();
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(105, 0), 0);
  CHECK(game().pump());
  CHECK(!IsWindow(window));
  CHECK(game().quitRequested);
  CHECK_EQ(game().delivered, 1);
  MSG message;
  CHECK(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  CHECK_EQ(message.wParam, 0u);
  game().reset();
}

TEST_CASE("a key released behind the About command reaches the game after the box") {
  HWND window = gameWindowForTest();
  if (window == nullptr) return CHECK(window != nullptr);
  drainQueue();
  game().post(window, WM_KEYDOWN, 'D', 1);
  AboutWatch w;  // OK, once the box's own loop has dispatched the key-up
  watch = &w;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, watchTimer);
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(104, 1), 0);
  PostMessageW(window, WM_KEYUP, 'D', 0xC0000001);
  game().pump();
  KillTimer(nullptr, timer);
  watch = nullptr;
  game().pump();
  CHECK(w.seen && game().keys.currentKeys[zt::kKeyD] == 0.0f);
  game().reset();
}

TEST_CASE("system messages as the shared window procedure sees them") {
  using Kind = zt::WindowMessage::Kind;
  CHECK(zt::toWindowMessage(WM_COMMAND, MAKEWPARAM(104, 1)).kind == Kind::Command);
  CHECK_EQ(zt::toWindowMessage(WM_COMMAND, MAKEWPARAM(104, 1)).code, 104u);
  CHECK(zt::toWindowMessage(WM_KEYUP, VK_ESCAPE).kind == Kind::KeyUp);
  CHECK_EQ(zt::toWindowMessage(WM_KEYUP, VK_ESCAPE).code, 0x1Bu);
  CHECK(zt::toWindowMessage(WM_DESTROY, 0).kind == Kind::Destroy);
  for (UINT other :
       {WM_PAINT, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_CHAR, WM_SYSCHAR, WM_CLOSE, WM_SIZE}) {
    CHECK(zt::toWindowMessage(other, 'D').kind == Kind::Other);
  }
}
