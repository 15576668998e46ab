#pragma once

#include <cstdint>

namespace zt {

// Four bytes R, G, B, A. Colour lists for recolouring are plain arrays of it.
struct Color {
  uint8_t r, g, b, a;
};

inline bool operator==(const Color& p, const Color& q) {
  return p.r == q.r && p.g == q.g && p.b == q.b && p.a == q.a;
}
inline bool operator!=(const Color& p, const Color& q) {
  return !(p == q);
}

// The colours the game keeps as data.
constexpr Color kWhite{255, 255, 255, 255};
constexpr Color kBlack{0, 0, 0, 255};
constexpr Color kTeal{143, 224, 212, 255};
constexpr Color kBackgroundGrey{32, 32, 32, 255};
constexpr Color kCreditsGrey{18, 18, 18, 255};

}  // namespace zt
