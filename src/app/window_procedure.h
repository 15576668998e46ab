#pragma once

#include "app/platform.h"

namespace zt {

// What the backend does after the shared window procedure has seen a message.
enum class MessageResult { Handled, Default };

// The window procedure's table, shared by every backend: destroy, paint,
// keys and the About and Exit commands. Default means "give it to the
// system's default handling".
MessageResult windowProcedure(Platform& platform, const WindowMessage& message);

}  // namespace zt
