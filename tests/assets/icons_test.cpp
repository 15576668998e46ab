#include <gtest/gtest.h>

#include <string>

#include "asset_files.h"

namespace zt::test {
namespace {

uint32_t le16(const std::vector<uint8_t>& b, size_t at) {
  return b.at(at) | (b.at(at + 1) << 8);
}
uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return le16(b, at) | (le16(b, at + 2) << 16);
}

std::string iconPath(int id) {
  return buildDir() + "/icons/zummertock" + std::to_string(id) + ".ico";
}

// The eight pictures each icon group holds, in the order they are listed.
const std::pair<uint32_t, uint32_t> kLayout[8] = {{32, 4}, {16, 4},  {48, 8},  {32, 8},
                                                  {16, 8}, {48, 32}, {32, 32}, {16, 32}};

class AssetIcons : public ::testing::TestWithParam<int> {};

TEST_P(AssetIcons, EightBitmapEntriesWithMasksThatMatchTheirPictures) {
  const std::vector<uint8_t> ico = readBytes(iconPath(GetParam()));
  ASSERT_GE(ico.size(), 6u + 8 * 16) << iconPath(GetParam());
  EXPECT_EQ(le16(ico, 0), 0u);
  EXPECT_EQ(le16(ico, 2), 1u) << "not an icon";
  ASSERT_EQ(le16(ico, 4), 8u);

  size_t expectedOffset = 6 + 8 * 16;
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    const size_t e = 6 + 16 * i;
    const auto [size, bpp] = kLayout[i];
    EXPECT_EQ(ico[e], size);
    EXPECT_EQ(ico[e + 1], size);
    EXPECT_EQ(ico[e + 2], bpp == 4 ? 16u : 0u);
    EXPECT_EQ(le16(ico, e + 4), 1u);
    EXPECT_EQ(le16(ico, e + 6), bpp);
    const uint32_t bytes = le32(ico, e + 8), offset = le32(ico, e + 12);
    // Entries follow each other with no gap or overlap, inside the file.
    EXPECT_EQ(offset, expectedOffset);
    ASSERT_LE(size_t(offset) + bytes, ico.size());
    expectedOffset = offset + bytes;

    // The bitmap: header, palette, colour rows, then the AND mask rows.
    ASSERT_EQ(le32(ico, offset), 40u);
    EXPECT_EQ(le32(ico, offset + 4), size);
    EXPECT_EQ(le32(ico, offset + 8), 2 * size);
    EXPECT_EQ(le16(ico, offset + 12), 1u);
    EXPECT_EQ(le16(ico, offset + 14), bpp);
    EXPECT_EQ(le32(ico, offset + 16), 0u) << "compressed";
    const uint32_t paletteBytes = bpp == 32 ? 0 : 4u << bpp;
    const uint32_t colourStride = (size * bpp + 31) / 32 * 4, maskStride = (size + 31) / 32 * 4;
    ASSERT_EQ(bytes, 40 + paletteBytes + (colourStride + maskStride) * size);

    const size_t colours = offset + 40 + paletteBytes, mask = colours + colourStride * size;
    size_t shown = 0;
    for (uint32_t row = 0; row < size; ++row)
      for (uint32_t x = 0; x < size; ++x) {
        const bool masked = ico[mask + row * maskStride + x / 8] & (0x80 >> (x % 8));
        shown += !masked;
        if (bpp == 32) {
          // The mask must agree with the alpha channel for old renderers.
          const uint8_t alpha = ico[colours + row * colourStride + x * 4 + 3];
          EXPECT_EQ(masked, alpha < 128) << "pixel " << x << ", row " << row;
        }
      }
    // Some of the figure shows, and not as a solid block.
    EXPECT_GT(shown, size * size / 8);
    EXPECT_LT(shown, size * size);
  }
  EXPECT_EQ(expectedOffset, ico.size());
}

INSTANTIATE_TEST_SUITE_P(Groups, AssetIcons, ::testing::Values(107, 108));

}  // namespace
}  // namespace zt::test
