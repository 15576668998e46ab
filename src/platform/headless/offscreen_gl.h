#pragma once

#include <cstdint>
#include <vector>

#include "core/screen.h"

// OSMesa's context type, declared here so users need not include osmesa.h.
struct osmesa_context;

namespace zt {

// An OpenGL context that renders into memory instead of a window: the
// headless backend and the tests draw the real game through it. Made
// current on creation; RGBA, no depth, stencil or accumulation buffer.
class OffscreenGl {
 public:
  explicit OffscreenGl(uint32_t width = kWindowWidth, uint32_t height = kWindowHeight);
  ~OffscreenGl();
  OffscreenGl(const OffscreenGl&) = delete;
  OffscreenGl& operator=(const OffscreenGl&) = delete;

  // False when the context could not be created or made current.
  bool valid() const { return valid_; }
  bool makeCurrent();
  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }

 private:
  ::osmesa_context* context_ = nullptr;
  std::vector<uint8_t> buffer_;
  uint32_t width_;
  uint32_t height_;
  bool valid_ = false;
};

// The current context's colour buffer, width x height pixels, as RGBA bytes
// with the top row first (finishes pending drawing first).
std::vector<uint8_t> readFramePixels(uint32_t width, uint32_t height);

}  // namespace zt
