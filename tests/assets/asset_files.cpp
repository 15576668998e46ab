#include "asset_files.h"

#include <png.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>

#include "rules/scene_script.h"

namespace zt::test {

namespace {

void onPngError(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void onPngWarning(png_structp, png_const_charp) {}

}  // namespace

std::optional<Picture> readPicture(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return std::nullopt;
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, onPngWarning);
  png_infop info = png_create_info_struct(png);
  Picture picture;
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return std::nullopt;
  }
  png_init_io(png, file);
  png_read_info(png, info);
  picture.width = png_get_image_width(png, info);
  picture.height = png_get_image_height(png, info);
  picture.colorType = png_get_color_type(png, info);
  picture.bitDepth = png_get_bit_depth(png, info);
  if (picture.colorType == PNG_COLOR_TYPE_RGB_ALPHA && picture.bitDepth == 8 &&
      png_get_rowbytes(png, info) == picture.width * 4) {
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    rows.resize(picture.height);
    for (uint32_t y = 0; y < picture.height; ++y)
      rows[y] =
          reinterpret_cast<png_bytep>(&picture.pixels[static_cast<size_t>(y) * picture.width]);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return picture;
}

std::optional<Clip> readClip(const std::string& path) {
  OggVorbis_File vf;
  if (ov_fopen(path.c_str(), &vf) != 0) return std::nullopt;
  Clip clip;
  const vorbis_info* info = ov_info(&vf, -1);
  clip.channels = info->channels;
  clip.rate = info->rate;
  const ogg_int64_t total = ov_pcm_total(&vf, -1);
  clip.samples.reserve(static_cast<size_t>(total > 0 ? total : 0) * clip.channels);
  char buffer[8192];
  int section = 0;
  for (;;) {
    const long n = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section);
    if (n < 0) {
      ov_clear(&vf);
      return std::nullopt;
    }
    if (n == 0) break;
    const auto* s = reinterpret_cast<const int16_t*>(buffer);
    clip.samples.insert(clip.samples.end(), s, s + n / 2);
  }
  ov_clear(&vf);
  if (static_cast<ogg_int64_t>(clip.frames()) != total) return std::nullopt;
  return clip;
}

std::string resource(const std::string& name) {
  return resource_files::kFolder + name;
}

std::string glyphPath(int code) {
  return resource(resource_files::glyphFile(code));
}

const std::vector<std::string>& gameTexts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> t = {"[ Press ZOMBLE to start ]",
                                  "ZOMBLE = D or right arrow key",
                                  "[ Press ZOMBLE to play ]",
                                  "[ Press Escape to quit ]",
                                  "Zummertock",
                                  "Congratulations, you zorped right!",
                                  "Incorrect zorpes: , HAW HAW",
                                  "Incorrect zorpes: 9999, HAW HAW",
                                  "Incorrect zorpes: 0123456789, HAW HAW",
                                  "\"Zummertock\"",
                                  "A vidya game by",
                                  "Testers:",
                                  "Thanks for playing!",
                                  "THE END"};
    t.insert(t.end(), levelNames, levelNames + kLevelCount);
    t.insert(t.end(), {kAuthorCredit, kTesterCredit1, kTesterCredit2});
    return t;
  }();
  return texts;
}

}  // namespace zt::test
