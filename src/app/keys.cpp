#include "app/keys.h"

#include <cstdio>

namespace zt {

int32_t InputInterface::initialize() {
  if (!window) {
    std::fputs("Input Interface error: No window handle available.", stdout);
    return -1;
  }
  return 0;
}

int32_t InputInterface::update() {
  return 0;
}

}  // namespace zt
