#pragma once

// PNG files made for the tests: raw chunks with their CRCs, and ImageMagick
// as a codec of its own to compare the game's decoder with.

#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace zt::test {

// The picture as ImageMagick decodes it: 8-bit RGBA, top row first.
inline Bytes magickRgba(const std::string& file) {
  const std::string rgba =
      runProgram({"convert", file, "-set", "colorspace", "sRGB", "-depth", "8", "rgba:-"}).out;
  return Bytes(rgba.begin(), rgba.end());
}

// Its 16-bit samples, for pictures stored with 16 bits.
inline std::vector<uint16_t> magickRgba16(const std::string& file) {
  const std::string rgba = runProgram({"convert", file, "-set", "colorspace", "sRGB", "-depth",
                                       "16", "-endian", "LSB", "rgba:-"})
                               .out;
  std::vector<uint16_t> out;
  for (size_t i = 0; i + 1 < rgba.size(); i += 2) {
    out.push_back(static_cast<uint16_t>(static_cast<uint8_t>(rgba[i]) |
                                        static_cast<uint8_t>(rgba[i + 1]) << 8));
  }
  return out;
}

// 16-bit samples to the nearest 8-bit value.
inline Bytes roundedTo8(const std::vector<uint16_t>& samples) {
  Bytes out;
  for (uint16_t v : samples) out.push_back(static_cast<uint8_t>((v * 255u + 32767u) / 65535u));
  return out;
}

// Lets ImageMagick encode raw top-first RGBA bytes; `options` choose the
// stored format (e.g. "PNG8:", "-interlace PNG PNG32:").
inline bool magickEncode(const std::string& rawFile, uint32_t width, uint32_t height,
                         const std::string& options, const std::string& pngFile) {
  return runShell("convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                  " -depth 8 'rgba:" + rawFile + "' " + options + "'" + pngFile + "'")
             .status == 0;
}

inline uint32_t crc32(const uint8_t* data, size_t size) {
  uint32_t crc = 0xffffffffu;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void putBigEndian(Bytes& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// Appends one chunk with a correct CRC.
inline void putChunk(Bytes& out, const char type[4], const Bytes& data) {
  putBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putBigEndian(out, crc32(out.data() + start, out.size() - start));
}

inline Bytes pngSignature() {
  return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
}

inline Bytes ihdr(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType) {
  Bytes data;
  putBigEndian(data, width);
  putBigEndian(data, height);
  data.insert(data.end(), {bitDepth, colorType, 0, 0, 0});
  return data;
}

}  // namespace zt::test
