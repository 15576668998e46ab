#pragma once

#include <cstdint>
#include <vector>

#include "core/screen.h"
#include "scene/display_interface.h"

namespace zt::test {

// A display that draws nothing: it notes the pictures it is asked to draw,
// and where, so that code which draws can be tested without OpenGL.
class RecordingDisplay : public Renderer {
 public:
  struct Placed {
    const Image* image;
    int32_t x, y;
    bool operator==(const Placed& o) const { return image == o.image && x == o.x && y == o.y; }
  };

  RecordingDisplay() : Renderer(kViewCenter, kViewWidth, kViewHeight) {}

  int32_t initialize() override { return 0; }
  void drawImage(const Image* image, int32_t x, int32_t y) override {
    if (image) placed.push_back({image, x, y});
  }
  void clear() override {}
  void present() override {}
  void applyClearColor(const Color&) override {}

  std::vector<Placed> placed;
};

}  // namespace zt::test
