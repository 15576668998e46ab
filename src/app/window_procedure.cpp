#include "app/window_procedure.h"

namespace zt {

bool gameAnswers(const WindowMessage& message) {
  switch (message.kind) {
    case WindowMessage::Kind::Destroy:
    case WindowMessage::Kind::KeyDown:
    case WindowMessage::Kind::KeyUp:
      return true;
    case WindowMessage::Kind::Command:
      return message.code == kCommandAbout || message.code == kCommandExit;
    case WindowMessage::Kind::Other:
      break;
  }
  return false;
}

WindowRequest windowProcedure(const WindowMessage& message, KeyState& keys, bool& quitRequested) {
  switch (message.kind) {
    case WindowMessage::Kind::Destroy:
      quitRequested = true;
      return WindowRequest::Handled;
    case WindowMessage::Kind::KeyDown:
    case WindowMessage::Kind::KeyUp:
      keys.handleKeyMessage(message.code, message.kind == WindowMessage::Kind::KeyDown);
      return WindowRequest::Handled;
    case WindowMessage::Kind::Command:
      if (message.code == kCommandAbout) return WindowRequest::RunAboutBox;
      if (message.code == kCommandExit) return WindowRequest::DestroyWindow;
      return WindowRequest::Default;
    case WindowMessage::Kind::Other:
      break;
  }
  return WindowRequest::Default;
}

void handleWindowMessage(const WindowMessage& message, KeyState& keys, bool& quitRequested,
                         Platform& platform) {
  switch (windowProcedure(message, keys, quitRequested)) {
    case WindowRequest::RunAboutBox:
      platform.runAboutBox();
      break;
    case WindowRequest::DestroyWindow:
      platform.destroyWindow();
      windowProcedure(WindowMessage{WindowMessage::Kind::Destroy, 0}, keys, quitRequested);
      break;
    case WindowRequest::Default:
    case WindowRequest::Handled:
      break;
  }
}

}  // namespace zt
