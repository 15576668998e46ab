#include "icon.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace zt::assetgen {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xff);
  out.push_back((v >> 8) & 0xff);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}

// The 16 colours every 4-bit icon is drawn with.
const Rgba kStandard16[16] = {
    {0, 0, 0, 255},       {128, 0, 0, 255},   {0, 128, 0, 255},   {128, 128, 0, 255},
    {0, 0, 128, 255},     {128, 0, 128, 255}, {0, 128, 128, 255}, {192, 192, 192, 255},
    {128, 128, 128, 255}, {255, 0, 0, 255},   {0, 255, 0, 255},   {255, 255, 0, 255},
    {0, 0, 255, 255},     {255, 0, 255, 255}, {0, 255, 255, 255}, {255, 255, 255, 255}};

bool opaque(Rgba p) {
  return p.a >= 128;
}

int nearest(const std::vector<Rgba>& palette, Rgba p) {
  int best = 0;
  long bestDistance = -1;
  for (size_t i = 0; i < palette.size(); ++i) {
    const long dr = p.r - palette[i].r, dg = p.g - palette[i].g, db = p.b - palette[i].b;
    // Weighted toward green, as the eye is.
    const long d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

// The picture's own colours when they fit in 256, else a 6x6x6 colour cube.
std::vector<Rgba> palette256(const Canvas& picture) {
  std::map<uint32_t, Rgba> seen;
  for (Rgba p : picture.pixels())
    if (opaque(p)) seen[(p.r << 16) | (p.g << 8) | p.b] = {p.r, p.g, p.b, 255};
  std::vector<Rgba> palette{{0, 0, 0, 255}};
  if (seen.size() < 256) {
    for (const auto& [key, colour] : seen) palette.push_back(colour);
  } else {
    palette.clear();
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b)
          palette.push_back({static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                             static_cast<uint8_t>(b * 51), 255});
  }
  palette.resize(256, Rgba{0, 0, 0, 255});
  return palette;
}

std::vector<uint8_t> encodeDib(const IconEntry& entry) {
  const Canvas& pic = entry.picture;
  const int w = pic.width(), h = pic.height(), bpp = entry.bitsPerPixel;
  const int colourStride = ((w * bpp + 31) / 32) * 4;
  const int maskStride = ((w + 31) / 32) * 4;

  std::vector<Rgba> palette;
  if (bpp == 4) palette.assign(std::begin(kStandard16), std::end(kStandard16));
  if (bpp == 8) palette = palette256(pic);

  std::vector<uint8_t> out;
  put32(out, 40);
  put32(out, w);
  put32(out, 2 * h);  // colour bitmap and mask together
  put16(out, 1);
  put16(out, bpp);
  put32(out, 0);  // no compression
  put32(out, (colourStride + maskStride) * h);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  for (Rgba c : palette) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  // Bitmap rows go bottom row first.
  for (int y = h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(colourStride, 0);
    for (int x = 0; x < w; ++x) {
      const Rgba p = pic.get(x, y);
      if (bpp == 32) {
        row[x * 4 + 0] = p.b;
        row[x * 4 + 1] = p.g;
        row[x * 4 + 2] = p.r;
        row[x * 4 + 3] = p.a;
      } else if (opaque(p)) {
        // Masked pixels keep index 0 (black), which the AND mask leaves unchanged.
        const int index = nearest(palette, p);
        if (bpp == 8)
          row[x] = static_cast<uint8_t>(index);
        else
          row[x / 2] |= static_cast<uint8_t>(x % 2 ? index : index << 4);
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  for (int y = h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskStride, 0);
    for (int x = 0; x < w; ++x)
      if (!opaque(pic.get(x, y))) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

std::vector<uint8_t> encodeIcon(const std::vector<IconEntry>& entries) {
  std::vector<std::vector<uint8_t>> images;
  for (const IconEntry& e : entries) {
    const int w = e.picture.width();
    if (w <= 0 || w > 256 || e.picture.height() != w)
      throw std::invalid_argument("icon pictures must be square, 1 to 256 pixels");
    if (e.bitsPerPixel != 4 && e.bitsPerPixel != 8 && e.bitsPerPixel != 32)
      throw std::invalid_argument("icon depth must be 4, 8 or 32 bits");
    images.push_back(encodeDib(e));
  }
  std::vector<uint8_t> out;
  put16(out, 0);
  put16(out, 1);  // icon, not cursor
  put16(out, static_cast<uint32_t>(entries.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    const int w = entries[i].picture.width();
    const int bpp = entries[i].bitsPerPixel;
    out.push_back(static_cast<uint8_t>(w == 256 ? 0 : w));
    out.push_back(static_cast<uint8_t>(w == 256 ? 0 : w));
    out.push_back(bpp == 4 ? 16 : 0);
    out.push_back(0);
    put16(out, 1);
    put16(out, bpp);
    put32(out, static_cast<uint32_t>(images[i].size()));
    put32(out, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}

}  // namespace zt::assetgen
