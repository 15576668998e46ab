#include "pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <utility>

#include "font.h"
#include "sprites.h"

namespace zt::assetgen {

namespace {

constexpr Rgba kTeal{143, 224, 212, 255};
constexpr double kPi = 3.14159265358979323846;

// A small fixed-seed generator, so every run places the same stars.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<uint32_t>(state_ >> 16);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

 private:
  uint64_t state_;
};

// Distance from (px, py) to the segment from (ax, ay) to (bx, by).
double segmentDistance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  const double ex = px - (ax + t * dx), ey = py - (ay + t * dy);
  return std::sqrt(ex * ex + ey * ey);
}

// Text as chunky logo letters: each font pixel becomes a pitch x pitch
// block, pixels that touch only at a corner are joined by a smooth
// diagonal stroke, and the whole is grown by `grow` pixels with rounded
// outer corners.
Canvas logoLetters(std::string_view text, int pitch, int grow, Rgba colour) {
  const Canvas ink = textInk(text);
  auto inked = [&](int fx, int fy) { return ink.get(fx, fy).a != 0; };
  Canvas out(ink.width() * pitch + 2 * grow, ink.height() * pitch + 2 * grow);
  const double reach = grow + 0.5;
  const double half = pitch / 2.0;
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) {
      const double px = x - grow + 0.5, py = y - grow + 0.5;
      const int fx0 = static_cast<int>(std::floor(px / pitch)) - 1;
      const int fy0 = static_cast<int>(std::floor(py / pitch)) - 1;
      bool hit = false;
      for (int fy = fy0; fy <= fy0 + 2 && !hit; ++fy) {
        for (int fx = fx0; fx <= fx0 + 2 && !hit; ++fx) {
          if (!inked(fx, fy)) continue;
          const double dx = std::max({fx * pitch - px, 0.0, px - (fx + 1) * pitch});
          const double dy = std::max({fy * pitch - py, 0.0, py - (fy + 1) * pitch});
          hit = dx * dx + dy * dy < reach * reach;
          // Diagonal joins, down-right and down-left.
          for (int side : {1, -1}) {
            if (hit || !inked(fx + side, fy + 1) || inked(fx + side, fy) || inked(fx, fy + 1))
              continue;
            const double d = segmentDistance(px, py, (fx + 0.5) * pitch, (fy + 0.5) * pitch,
                                             (fx + side + 0.5) * pitch, (fy + 1.5) * pitch);
            hit = d < half * 0.85 + reach;
          }
        }
      }
      if (hit) out.set(x, y, colour);
    }
  }
  return out;
}

// Gives the letters a hatched extrusion down and to the right, kept one
// pixel clear of the letters so they stay crisp.
Canvas withHatchedDepth(const Canvas& letters, int depth, Rgba colour) {
  Canvas out(letters.width() + depth, letters.height() + depth);
  auto solid = [&](int x, int y) { return letters.get(x, y).a != 0; };
  for (int y = 0; y < out.height(); ++y) {
    for (int x = 0; x < out.width(); ++x) {
      if (solid(x, y)) {
        out.set(x, y, letters.get(x, y));
        continue;
      }
      bool nearLetter = false;
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) nearLetter = nearLetter || solid(x + i, y + j);
      if (nearLetter) continue;
      bool shadowed = false;
      for (int k = 1; k <= depth && !shadowed; ++k) shadowed = solid(x - k, y - k);
      if (shadowed && (x + y) % 2 == 0) out.set(x, y, colour);
    }
  }
  return out;
}

}  // namespace

Canvas progressPicture() {
  return Canvas(kBarWidth, kProgressHeight, kTeal);
}

Canvas barFramePicture() {
  // Black turns into the level's dark colour and white into its light one.
  Canvas c(kBarWidth, kBarFrameHeight);
  const int last = kBarWidth - 1;
  for (int x = 1; x < last; ++x) {
    c.set(x, 0, kOpaqueBlack);
    c.set(x, 1, kOpaqueWhite);
    c.set(x, 2, kOpaqueBlack);
    c.set(x, 7, kOpaqueBlack);
    c.set(x, 8, kOpaqueWhite);
    c.set(x, 9, kOpaqueBlack);
  }
  for (int y = 1; y < kBarFrameHeight - 1; ++y) {
    c.set(0, y, kOpaqueBlack);
    c.set(last, y, kOpaqueBlack);
  }
  // Ticks along the light lines help the player judge distances.
  for (int x = 25; x < last; x += 25) {
    c.set(x, 1, kOpaqueBlack);
    c.set(x, 8, kOpaqueBlack);
  }
  return c;
}

Canvas panelPicture() {
  Canvas c(kBarWidth, kPanelHeight);
  const int w = kBarWidth, h = kPanelHeight;
  // Body in the dark colour with rounded corners and a light rim.
  c.fillRect(0, 0, w, h, kOpaqueBlack);
  for (int y : {0, h - 1})
    for (int x : {0, 1, w - 2, w - 1}) c.set(x, y, kClear);
  for (int x : {0, w - 1})
    for (int y : {1, h - 2}) c.set(x, y, kClear);
  c.fillRect(2, 1, w - 4, 1, kOpaqueWhite);
  c.fillRect(4, 5, w - 8, 1, kOpaqueWhite);
  c.fillRect(4, 44, w - 8, 1, kOpaqueWhite);

  // A band of chevrons pointing the way the marker runs.
  const int bandTop = 10, bandBottom = 39, apex = (bandTop + bandBottom) / 2;
  for (int y = bandTop; y <= bandBottom; ++y) {
    const int lean = (apex - std::abs(y - apex)) / 2;
    for (int start = 10; start < w - 24; start += 24)
      for (int t = 0; t < 4; ++t) c.set(start + lean + t, y, kOpaqueWhite);
  }
  // Studs at both ends.
  for (int cx : {6, w - 7})
    for (int cy : {17, 32}) c.fillRect(cx - 1, cy - 1, 3, 3, kOpaqueWhite);

  // The window the level name is written in: see-through, so the white
  // letters always stand on the dark background picture, even on the last
  // level, whose colours put white where this panel is dark.
  const int winLeft = 3, winRight = w - 4, winTop = 52, winBottom = 67;
  c.fillRect(winLeft - 1, winTop - 1, winRight - winLeft + 3, winBottom - winTop + 3, kOpaqueWhite);
  c.fillRect(winLeft, winTop, winRight - winLeft + 1, winBottom - winTop + 1, kClear);
  for (int x : {winLeft - 1, winRight + 1})
    for (int y : {winTop - 1, winBottom + 1}) c.set(x, y, kOpaqueBlack);
  return c;
}

Canvas titlePicture() {
  Canvas c(kScreenWidth, kTitleHeight);
  const Canvas logo =
      withHatchedDepth(logoLetters("Zummertock", 6, 1, kOpaqueBlack), 5, kOpaqueBlack);
  c.draw(logo, (kScreenWidth - logo.width()) / 2, 4);

  // Under the name, a little ruler like the game's bar.
  const int left = 40, right = kScreenWidth - 40, y = 66;
  c.fillRect(left, y, right - left, 3, kOpaqueBlack);
  for (int x = left; x <= right; x += 20) {
    const int len = (x - left) % 80 == 0 ? 8 : 4;
    c.fillRect(x - 1, y + 3, 2, len, kOpaqueBlack);
  }
  // A run marker on the ruler.
  for (int j = 0; j < 6; ++j) c.fillRect(118 - j, y - 2 - j, 2 * j + 1, 1, kOpaqueBlack);
  return c;
}

Canvas titleBackground() {
  const int period = kScrollPeriod;
  Canvas tile(kScreenWidth, period);
  // Deep night colours; the light text of the title screens sits on them.
  const Rgba low{16, 14, 40, 255}, high{44, 18, 56, 255}, band{34, 30, 74, 255};
  for (int y = 0; y < period; ++y) {
    const double phase = 2 * kPi * y / period;
    const Rgba base = mix(low, high, 0.5 - 0.5 * std::cos(phase));
    for (int x = 0; x < kScreenWidth; ++x) {
      // Soft slanted bands; whole numbers of waves per period keep it seamless.
      const double wave = std::sin(3 * phase + 2 * kPi * x / 160.0);
      tile.set(x, y, mix(base, band, std::max(0.0, wave) * 0.45));
    }
  }
  // Sparse dim stars.
  Random random(0x5a17u);
  for (int i = 0; i < 140; ++i) {
    const int x = random.below(kScreenWidth), y = random.below(period);
    const int level = 70 + random.below(60);
    const Rgba star{static_cast<uint8_t>(level), static_cast<uint8_t>(level),
                    static_cast<uint8_t>(std::min(255, level + 30)), 255};
    tile.set(x, y, star);
    if (random.below(5) == 0) {
      // A few brighter ones get a faint cross of glow.
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        const int gx = x + dx, gy = (y + dy + period) % period;
        tile.set(gx, gy, mix(tile.get(gx, gy), star, 0.35));
      }
    }
  }
  // The scroll shows rows y and y + period alike, so the picture repeats
  // its first screen below the tile.
  Canvas c(kScreenWidth, period + kScreenHeight);
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < kScreenWidth; ++x) c.set(x, y, tile.get(x, y % period));
  return c;
}

Canvas gameOverPicture() {
  Canvas c(kScreenWidth, kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const double dx = (x - 160) / 180.0, dy = (y - 110) / 140.0;
      const double glow = std::max(0.0, 1.0 - std::sqrt(dx * dx + dy * dy));
      Rgba p = mix(Rgba{6, 2, 8, 255}, Rgba{120, 16, 30, 255}, glow * glow);
      if (y % 2) p = mix(p, Rgba{0, 0, 0, 255}, 0.25);
      c.set(x, y, p);
    }
  }
  const Canvas words = withHatchedDepth(logoLetters("GAME OVER", 5, 1, Rgba{255, 236, 210, 255}), 4,
                                        Rgba{255, 90, 90, 255});
  c.draw(words, (kScreenWidth - words.width()) / 2, 22);
  const Canvas mocker = scaleNearest(mockerFrame(0), 3);
  c.draw(mocker, (kScreenWidth - mocker.width()) / 2, 82);
  const char* jeer = "HAW HAW";
  const int jeerWidth = (textWidth(jeer) - 1) * 2;
  drawText(c, jeer, (kScreenWidth - jeerWidth) / 2, 184, Rgba{255, 200, 200, 255}, 2);
  return c;
}

}  // namespace zt::assetgen
