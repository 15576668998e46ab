// POSIX systems; Windows has its own (platform/win32/thread_name.cpp).
#include "core/thread_name.h"

#include <pthread.h>

#include <string>

namespace zt {

void nameThisThread(const char* name) {
#if defined(__linux__)
  pthread_setname_np(pthread_self(), std::string(name).substr(0, 15).c_str());
#else
  (void)name;
#endif
}

}  // namespace zt
