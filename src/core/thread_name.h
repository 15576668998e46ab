#pragma once

namespace zt {

// Names the calling thread for debuggers and process lists (at most 15
// characters are kept on Linux). Does nothing where the system cannot.
void nameThisThread(const char* name);

}  // namespace zt
