#include "app/window_procedure.h"

namespace zt {

MessageResult windowProcedure(const WindowMessage& message, KeyState& keys, bool& quitRequested,
                              Platform& platform) {
  switch (message.kind) {
    case WindowMessage::Kind::Destroy:
      quitRequested = true;
      return MessageResult::Handled;
    case WindowMessage::Kind::KeyDown:
    case WindowMessage::Kind::KeyUp:
      keys.handleKeyMessage(message.code, message.kind == WindowMessage::Kind::KeyDown);
      return MessageResult::Handled;
    case WindowMessage::Kind::Command:
      if (message.code == kCommandAbout) {
        platform.runAboutBox();
        return MessageResult::Handled;
      }
      if (message.code == kCommandExit) {
        platform.destroyWindow();
        return MessageResult::Handled;
      }
      return MessageResult::Default;
    case WindowMessage::Kind::Other:
      break;
  }
  return MessageResult::Default;
}

}  // namespace zt
