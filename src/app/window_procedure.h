#pragma once

#include "app/keys.h"
#include "app/platform.h"

namespace zt {

// The game's window procedure: a destroyed window ends the loop, the three
// keys change the key state (every key is answered, none goes on to the
// default handling), command 104 runs the About box and 105 destroys the
// window. Anything else is the system's.
MessageResult windowProcedure(const WindowMessage& message, KeyState& keys, bool& quitRequested,
                              Platform& platform);

}  // namespace zt
