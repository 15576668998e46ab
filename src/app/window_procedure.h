#pragma once

#include "app/platform.h"
#include "core/keys.h"

namespace zt {

// What the window procedure leaves for its window to do.
enum class WindowRequest {
  Default,        // not the game's: the system's default handling
  Handled,        // answered, nothing more to do
  RunAboutBox,    // command 104: the modal About box
  DestroyWindow,  // command 105: destroy the window, whose destroy ends the loop
};

// The game's window procedure: a destroyed window ends the loop, the three
// keys change the key state (every key is answered, none goes on to the
// default handling), commands 104 and 105 ask for the About box and the
// window's end. Anything else is the system's.
WindowRequest windowProcedure(const WindowMessage& message, KeyState& keys, bool& quitRequested);

// One message of the frame's message step: the window procedure, then
// what it asks of the window done on the platform (the modal About box;
// the window's end, whose destroy message is handled here at once, since
// the platform does not hand back what the game brought about itself).
void handleWindowMessage(const WindowMessage& message, KeyState& keys, bool& quitRequested,
                         Platform& platform);

// Whether the game answers the message (the backend then keeps it from the
// system's default handling). Reads nothing but the message.
bool gameAnswers(const WindowMessage& message);

}  // namespace zt
