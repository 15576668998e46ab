#include "platform/headless/offscreen_gl.h"

#include <GL/osmesa.h>

#include <cstring>

namespace zt {

// Mesa's OSMesa keeps a few small allocations per context for good (seen with
// Mesa 22.3: they are lost even after an unbind and destroy). Tell the leak
// checker of sanitized builds about them so it reports only our own leaks.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libOSMesa.so\n";
}

// The list of suppressions used would otherwise end every run's standard
// error, where the game's own error lines are expected alone.
extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}

// llvmpipe's worker threads hand fences over with a mutex that the caller
// destroys once glFinish returns; ThreadSanitizer cannot see that hand-over
// inside the uninstrumented library and reports it as a race.
extern "C" const char* __tsan_default_suppressions() {
  return "race:libOSMesa.so\n";
}

OffscreenGl::OffscreenGl(uint32_t width, uint32_t height)
    : buffer_(static_cast<size_t>(width) * height * 4), width_(width), height_(height) {
  context_ = OSMesaCreateContextExt(OSMESA_RGBA, 0, 0, 0, nullptr);
  valid_ = context_ != nullptr && makeCurrent();
}

OffscreenGl::~OffscreenGl() {
  if (!context_) return;
  // Unbind first: Mesa keeps the framebuffer of a context destroyed while
  // current, and the leak checker reports it.
  if (OSMesaGetCurrentContext() == context_) OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
  OSMesaDestroyContext(context_);
}

bool OffscreenGl::makeCurrent() {
  if (!context_ || width_ == 0 || height_ == 0) return false;
  return OSMesaMakeCurrent(context_, buffer_.data(), GL_UNSIGNED_BYTE, static_cast<GLsizei>(width_),
                           static_cast<GLsizei>(height_)) == GL_TRUE;
}

std::vector<uint8_t> readFramePixels(uint32_t width, uint32_t height) {
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  std::vector<uint8_t> bottomFirst(rowBytes * height);
  std::vector<uint8_t> topFirst(rowBytes * height);
  if (bottomFirst.empty()) return topFirst;
  glFinish();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA,
               GL_UNSIGNED_BYTE, bottomFirst.data());
  // GL counts rows from the bottom; pictures are written from the top.
  for (uint32_t r = 0; r < height; ++r) {
    std::memcpy(topFirst.data() + r * rowBytes, bottomFirst.data() + (height - 1 - r) * rowBytes,
                rowBytes);
  }
  return topFirst;
}

}  // namespace zt
