#pragma once

#include <cstdint>

#include "core/keys.h"

namespace zt {

// The system's window handle, as the input module would hold it.
struct NativeWindow;

// Part of the class tree; the game makes one and never calls it.
class InputInterface {
 public:
  virtual ~InputInterface() = default;
  // -1, after a line on standard output, while no window handle is set.
  virtual int32_t initialize();
  virtual int32_t update();

  // The window it would read; nothing in the game sets it.
  NativeWindow* window = nullptr;
};

}  // namespace zt
