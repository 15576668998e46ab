#include "app/window_procedure.h"

#include "app/frame_loop.h"
#include "app/keys.h"

namespace zt {

MessageResult windowProcedure(Platform& platform, const WindowMessage& message) {
  switch (message.kind) {
    case WindowMessage::Kind::Destroy:
      platform.postQuitMessage(0);
      quitRequested = true;
      return MessageResult::Handled;
    case WindowMessage::Kind::Paint:
      // Nothing is drawn here; the frame loop draws every frame.
      platform.validatePaint();
      return MessageResult::Handled;
    case WindowMessage::Kind::KeyDown:
    case WindowMessage::Kind::KeyUp:
      // Every key is answered here; keys the game ignores change nothing.
      handleKeyMessage(message.code, message.kind == WindowMessage::Kind::KeyDown);
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
