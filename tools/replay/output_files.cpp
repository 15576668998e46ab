#include "replay/output_files.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

namespace zt {

namespace {

[[noreturn]] void onWriteError(png_structp png, png_const_charp) {
  longjmp(png_jmpbuf(png), 1);
}

void onWriteWarning(png_structp, png_const_charp) {}

// Only trivially destructible locals: libpng may longjmp back here.
bool encodeRgba(png_structp png, png_infop info, FILE* file, uint32_t width, uint32_t height,
                const uint8_t* rgba) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (uint32_t r = 0; r < height; ++r) {
    png_write_row(png, rgba + static_cast<size_t>(r) * width * 4);
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool writeRgbaPng(const std::string& fileName, uint32_t width, uint32_t height,
                  const uint8_t* rgba) {
  if (!rgba || width == 0 || height == 0) return false;
  FILE* file = std::fopen(fileName.c_str(), "wb");
  if (!file) return false;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onWriteError, onWriteWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = info && encodeRgba(png, info, file, width, height, rgba);
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  if (std::fclose(file) != 0) ok = false;
  return ok;
}

namespace {

void putLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

bool writeWav(const std::string& path, const std::vector<int16_t>& samples, uint16_t channels,
              uint32_t samplesPerSecond) {
  const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
  std::vector<uint8_t> out;
  out.reserve(44 + dataBytes);
  const char* riff = "RIFF";
  out.insert(out.end(), riff, riff + 4);
  putLe(out, 36 + dataBytes, 4);
  const char* wave = "WAVEfmt ";
  out.insert(out.end(), wave, wave + 8);
  putLe(out, 16, 4);
  putLe(out, 1, 2);  // PCM
  putLe(out, channels, 2);
  putLe(out, samplesPerSecond, 4);
  putLe(out, samplesPerSecond * channels * 2, 4);
  putLe(out, channels * 2, 2);
  putLe(out, 16, 2);
  const char* data = "data";
  out.insert(out.end(), data, data + 4);
  putLe(out, dataBytes, 4);
  for (int16_t sample : samples) putLe(out, static_cast<uint16_t>(sample), 2);

  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace zt
