#include "png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace zt::assetgen {

namespace {

void onPngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  *error = message;
  png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

}  // namespace

bool writePng(const std::string& path, const Canvas& picture, std::string& error) {
  if (picture.width() <= 0 || picture.height() <= 0) {
    error = "empty picture for " + path;
    return false;
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = "cannot open " + path + " for writing";
    return false;
  }

  std::vector<png_bytep> rows(picture.height());
  // Rgba is four tightly packed bytes, the layout libpng wants for RGBA rows.
  static_assert(sizeof(Rgba) == 4);
  auto* base = reinterpret_cast<png_bytep>(const_cast<Rgba*>(picture.pixels().data()));
  for (int y = 0; y < picture.height(); ++y)
    rows[y] = base + static_cast<size_t>(y) * picture.width() * 4;

  std::string pngError;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &pngError, onPngError, onPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info) {
    png_destroy_write_struct(&png, nullptr);
    std::fclose(file);
    error = "libpng could not start for " + path;
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    error = "libpng failed on " + path + ": " + pngError;
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, picture.width(), picture.height(), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);

  const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
  const bool closed = std::fclose(file) == 0;
  if (!flushed || !closed) {
    error = "write error on " + path;
    return false;
  }
  return true;
}

}  // namespace zt::assetgen
