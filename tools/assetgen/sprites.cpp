#include "sprites.h"

#include <initializer_list>

namespace zt::assetgen {

namespace {

constexpr Rgba kOutline{34, 24, 48, 255};
constexpr Rgba kBody{255, 146, 48, 255};
constexpr Rgba kBodyShade{212, 94, 34, 255};
constexpr Rgba kBodyLight{255, 206, 130, 255};
constexpr Rgba kBelly{255, 230, 188, 255};
constexpr Rgba kEyeWhite{255, 255, 255, 255};
constexpr Rgba kShoe{88, 52, 120, 255};
constexpr Rgba kShoeLight{140, 96, 176, 255};
constexpr Rgba kCheek{255, 112, 112, 255};
constexpr Rgba kMouth{130, 24, 52, 255};
constexpr Rgba kTongue{255, 124, 150, 255};

// Small pieces of the figure drawn from a legend: each character of a row
// picks a colour, '.' leaves the pixel as it is.
void stamp(Canvas& c, int x, int y, std::initializer_list<const char*> rows) {
  int j = 0;
  for (const char* row : rows) {
    for (int i = 0; row[i]; ++i) {
      Rgba colour;
      switch (row[i]) {
        case 'k':
          colour = kOutline;
          break;
        case 'o':
          colour = kBody;
          break;
        case 'd':
          colour = kBodyShade;
          break;
        case 'w':
          colour = kEyeWhite;
          break;
        case 's':
          colour = kShoe;
          break;
        case 'S':
          colour = kShoeLight;
          break;
        case 'r':
          colour = kCheek;
          break;
        case 'm':
          colour = kMouth;
          break;
        case 't':
          colour = kTongue;
          break;
        case 'b':
          colour = kBelly;
          break;
        default:
          continue;
      }
      c.set(x + i, y + j, colour);
    }
    ++j;
  }
}

bool inEllipse(double x, double y, double cx, double cy, double rx, double ry) {
  const double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
  return u * u + v * v <= 1.0;
}

// The egg-shaped body with its outline, shading, belly and highlight; top
// is the first row of the outline.
void drawBody(Canvas& c, int top) {
  const double cx = 12.0, cy = top + 12.0, rx = 9.6, ry = 12.0;
  for (int y = top; y < top + 24; ++y) {
    for (int x = 0; x < kFigureWidth; ++x) {
      if (!inEllipse(x, y, cx, cy, rx, ry)) continue;
      const bool edge =
          !inEllipse(x - 1, y, cx, cy, rx, ry) || !inEllipse(x + 1, y, cx, cy, rx, ry) ||
          !inEllipse(x, y - 1, cx, cy, rx, ry) || !inEllipse(x, y + 1, cx, cy, rx, ry);
      if (edge) {
        c.set(x, y, kOutline);
        continue;
      }
      const double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
      // Light comes from the upper right.
      Rgba colour = kBody;
      if (-0.55 * u + 0.85 * v > 0.5) colour = kBodyShade;
      if (inEllipse(x, y, cx + 1.5, cy + 5.0, 5.6, 5.4)) colour = kBelly;
      if (inEllipse(x, y, cx + 5.6, cy - 6.2, 1.3, 1.3)) colour = kBodyLight;
      c.set(x, y, colour);
    }
  }
}

void drawFoot(Canvas& c, int x, int y) {
  stamp(c, x, y, {".kkkk.", "ksSSsk", "kssssk", ".kkkk."});
}

void drawArm(Canvas& c, int x, int y) {
  stamp(c, x, y, {".kk.", "kook", "kodk", ".kk."});
}

}  // namespace

Canvas walkerFrame(int frame) {
  Canvas c(kFigureWidth, kFigureHeight);
  const bool stride = frame == 0;
  const int top = stride ? 3 : 2;
  // Feet first: the body overlaps their tops.
  if (stride) {
    drawFoot(c, 3, 26);
    drawFoot(c, 14, 26);
  } else {
    drawFoot(c, 6, 24);
    drawFoot(c, 11, 26);
  }
  drawBody(c, top);
  // Eyes look the way it walks, to the right.
  stamp(c, 12, top + 6, {"www", "wwk", "wwk", "www"});
  stamp(c, 17, top + 6, {"www", "wwk", "wwk", "www"});
  stamp(c, 15, top + 12, {"k..k", ".kk."});
  if (stride) {
    drawArm(c, 19, top + 13);
    drawArm(c, 1, top + 11);
  } else {
    drawArm(c, 19, top + 14);
    drawArm(c, 1, top + 14);
  }
  return c;
}

Canvas mockerFrame(int frame) {
  Canvas c(kFigureWidth, kFigureHeight);
  const bool hop = frame == 1;
  const int top = hop ? 1 : 3;
  if (hop) {
    drawFoot(c, 3, 24);
    drawFoot(c, 14, 26);
  } else {
    drawFoot(c, 4, 26);
    drawFoot(c, 14, 26);
  }
  drawBody(c, top);
  // Squeezed-shut laughing eyes, blushing cheeks and a wide open mouth.
  stamp(c, 8, top + 6, {".k.", "k.k"});
  stamp(c, 15, top + 6, {".k.", "k.k"});
  stamp(c, 6, top + 9, {"rr"});
  stamp(c, 18, top + 9, {"rr"});
  if (hop) {
    stamp(c, 9, top + 10, {"kkkkkkk", "kmmmmmk", "kmmtttk", ".kmttk.", "..kkk.."});
    // Arms thrown up over the head.
    drawArm(c, 0, top + 0);
    drawArm(c, 20, top + 0);
  } else {
    stamp(c, 9, top + 10, {"kkkkkkk", "kmmmmmk", "kmtttmk", ".kkkkk."});
    // Hands held up beside the head, waggling at the player.
    drawArm(c, 0, top + 4);
    drawArm(c, 20, top + 4);
  }
  return c;
}

}  // namespace zt::assetgen
