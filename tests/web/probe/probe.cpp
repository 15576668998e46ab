// Checks the browser tool chain: linked with the WebAssembly libpng and
// vorbisfile of scripts/build-web-deps, it decodes a picture and a clip
// embedded in it and prints what it got (with a hash of the picture's
// pixels) for check.mjs to compare with the desktop's decoders.
#include <png.h>
#include <vorbis/vorbisfile.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

uint32_t fnv1a(const uint8_t* data, size_t size, uint32_t hash = 2166136261u) {
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

bool decodePicture(const char* path) {
  const auto start = std::chrono::steady_clock::now();
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path)) {
    std::printf("png error: %s\n", image.message);
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    std::printf("png error: %s\n", image.message);
    return false;
  }
  std::printf("png %u %u %08x %.1f ms\n", image.width, image.height,
              fnv1a(pixels.data(), pixels.size()), millisecondsSince(start));
  return true;
}

// The samples as ov_read gives them, the game's way, kept in /decoded.pcm
// for check.mjs to read.
bool decodeClip(const char* path) {
  const auto start = std::chrono::steady_clock::now();
  OggVorbis_File file;
  if (ov_fopen(path, &file) != 0) {
    std::printf("ogg error: cannot open %s\n", path);
    return false;
  }
  const vorbis_info* info = ov_info(&file, -1);
  std::vector<char> samples;
  char buffer[4096];
  int section = 0;
  long got;
  while ((got = ov_read(&file, buffer, sizeof buffer, 0, 2, 1, &section)) > 0) {
    samples.insert(samples.end(), buffer, buffer + got);
  }
  std::printf("ogg %d %ld %zu %.1f ms\n", info->channels, info->rate,
              samples.size() / (2u * info->channels), millisecondsSince(start));
  ov_clear(&file);
  std::FILE* out = std::fopen("/decoded.pcm", "wb");
  const bool written = out && std::fwrite(samples.data(), 1, samples.size(), out) == samples.size();
  if (out) std::fclose(out);
  return got == 0 && written;
}

}  // namespace

int main() {
  const bool ok = decodePicture("/probe.png") && decodeClip("/probe.ogg");
  std::printf(ok ? "done\n" : "failed\n");
  return ok ? 0 : 1;
}
