#pragma once

// Helpers for tests that need picture files of their own: a private temp
// directory, raw PNG chunk building and ImageMagick as an independent codec.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zt::testing {

using Bytes = std::vector<uint8_t>;

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zt-scene-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void writeFile(const std::string& name, const Bytes& bytes) {
  std::ofstream out(name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline Bytes readFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline int run(const std::string& command) {
  return std::system(command.c_str());
}

// The picture as ImageMagick decodes it: 8-bit RGBA, top row first.
inline Bytes magickRgba(const std::string& file) {
  Bytes out;
  std::string command = "convert '" + file + "' -set colorspace sRGB -depth 8 rgba:-";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  uint8_t buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.insert(out.end(), buffer, buffer + n);
  pclose(pipe);
  return out;
}

// Its 16-bit samples, for pictures stored with 16 bits.
inline std::vector<uint16_t> magickRgba16(const std::string& file) {
  std::vector<uint16_t> out;
  std::string command = "convert '" + file + "' -set colorspace sRGB -depth 16 -endian LSB rgba:-";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  uint8_t pair[2];
  while (fread(pair, 1, 2, pipe) == 2) out.push_back(static_cast<uint16_t>(pair[0] | pair[1] << 8));
  pclose(pipe);
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
  std::string command = "convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                        " -depth 8 'rgba:" + rawFile + "' " + options + "'" + pngFile + "'";
  return run(command) == 0;
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

}  // namespace zt::testing
