#include "scene/image_file.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <fstream>
#include <iostream>
#include <vector>

namespace zt {

namespace {

constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
constexpr png_uint_32 kMaxKeptChunks = 128;

void reportBadPng() {
  std::cerr << "Error: bad PNG file" << std::endl;
}

// libpng reports data errors here; we unwind to decodeRgba and report once.
[[noreturn]] void onPngError(png_structp png, png_const_charp) {
  longjmp(png_jmpbuf(png), 1);
}

void onPngWarning(png_structp, png_const_charp) {}

void readFromStream(png_structp png, png_bytep data, png_size_t length) {
  auto* stream = static_cast<std::istream*>(png_get_io_ptr(png));
  stream->read(reinterpret_cast<char*>(data), static_cast<std::streamsize>(length));
  if (static_cast<png_size_t>(stream->gcount()) != length) png_error(png, "truncated");
}

// Everything decodeRgba allocates, kept outside its frame so that a longjmp
// out of libpng cannot lose it.
struct Decoding {
  png_structp png = nullptr;
  png_infop info = nullptr;
  uint8_t* pixels = nullptr;
  png_bytep* rows = nullptr;
  PngInfo header;
};

// Holds only trivially destructible locals: libpng may longjmp back here.
bool decodeRgba(Decoding* d) {
  if (setjmp(png_jmpbuf(d->png))) return false;

  png_set_sig_bytes(d->png, 8);
  png_read_info(d->png, d->info);

  const uint32_t width = png_get_image_width(d->png, d->info);
  const uint32_t height = png_get_image_height(d->png, d->info);
  const int bitDepth = png_get_bit_depth(d->png, d->info);
  const int colorType = png_get_color_type(d->png, d->info);
  if (static_cast<uint64_t>(width) * height * 4 > kMaxPictureBytes) return false;

  // Whatever the file holds becomes 8-bit RGBA, the one layout the display
  // draws; samples are kept as stored (no gamma correction).
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(d->png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(d->png);
  if (png_get_valid(d->png, d->info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(d->png);
  if (bitDepth == 16) png_set_scale_16(d->png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    png_set_gray_to_rgb(d->png);
  }
  png_set_add_alpha(d->png, 0xff, PNG_FILLER_AFTER);
  png_set_interlace_handling(d->png);
  png_read_update_info(d->png, d->info);

  const size_t rowBytes = static_cast<size_t>(width) * 4;
  if (png_get_rowbytes(d->png, d->info) != rowBytes || png_get_channels(d->png, d->info) != 4 ||
      png_get_bit_depth(d->png, d->info) != 8) {
    return false;
  }

  d->pixels = new uint8_t[rowBytes * height];
  d->rows = new png_bytep[height];
  for (uint32_t i = 0; i < height; ++i) d->rows[i] = d->pixels + i * rowBytes;
  png_read_image(d->png, d->rows);

  d->header.width = width;
  d->header.height = height;
  d->header.bitDepth = 8;
  d->header.channels = 4;
  d->header.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
  return true;
}

}  // namespace

std::unique_ptr<uint8_t[]> loadPng(PngInfo& info, const std::string& fileName) {
  std::ifstream file(fileName, std::ios::in | std::ios::binary);
  png_byte signature[8];
  file.read(reinterpret_cast<char*>(signature), sizeof signature);
  if (!file || png_sig_cmp(signature, 0, sizeof signature) != 0) {
    reportBadPng();
    return nullptr;
  }

  Decoding d;
  d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, onPngWarning);
  if (d.png) d.info = png_create_info_struct(d.png);
  bool ok = false;
  if (d.info) {
    png_set_user_limits(d.png, kMaxPictureSide, kMaxPictureSide);
    // Of the ancillary chunks only tRNS matters here; libpng would read the
    // others (texts, profiles, scales...) into a buffer of whatever length
    // the chunk declares, so a file of a hundred bytes could make it
    // allocate and clear gigabytes. Skip them all unread (-1: everything but
    // IHDR, PLTE, tRNS, IDAT and IEND), and cap what a chunk may allocate.
    png_set_keep_unknown_chunks(d.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_chunk_malloc_max(d.png, kMaxChunkBytes);
    png_set_chunk_cache_max(d.png, kMaxKeptChunks);
    png_set_read_fn(d.png, &file, readFromStream);
    ok = decodeRgba(&d);
  }
  png_destroy_read_struct(d.png ? &d.png : nullptr, d.info ? &d.info : nullptr, nullptr);
  delete[] d.rows;
  if (!ok) {
    delete[] d.pixels;
    reportBadPng();
    return nullptr;
  }
  info = d.header;
  return std::unique_ptr<uint8_t[]>(d.pixels);
}

std::unique_ptr<Image> loadImage(IdCounter& ids, const std::string& fileName, PngInfo* info) {
  PngInfo loaded;
  std::unique_ptr<uint8_t[]> bytes = loadPng(loaded, fileName);
  if (!bytes) return nullptr;
  if (info) *info = loaded;
  return std::make_unique<Image>(ids, loaded.width, loaded.height, bytes.get());
}

}  // namespace zt
