#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zt::test {

// Draws what a screen should show with the game's own font and display in
// an offscreen context of the test process, to compare with the runner's
// screenshots.
class ExpectedScreen {
 public:
  ExpectedScreen();
  ~ExpectedScreen();

  struct Text {
    std::string text;
    int32_t y;
  };
  // A cleared frame of the given colour with the texts at x = 160, as RGBA
  // bytes, top row first, alpha made opaque like the runner's shots.
  std::vector<uint8_t> texts(uint8_t r, uint8_t g, uint8_t b, const std::vector<Text>& texts);

 private:
  struct State;
  State* state_;
};

// Number of pixels that differ between two frames of the window within the
// window rows [top, bottom).
int differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int top,
                    int bottom);

}  // namespace zt::test
