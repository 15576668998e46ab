#pragma once

#include <cstdio>
#include <string>

// The files under resources/ that the game reads and the asset generator
// writes, in the order the game loads them.
namespace zt::resource_files {

// The folder, relative to where the game looks for it.
constexpr const char* kFolder = "resources/";

// The pictures.
constexpr const char* kDerivative1 = "derivative1.png";
constexpr const char* kDerivative2 = "derivative2.png";
constexpr const char* kTrollidian1 = "trollidian1.png";
constexpr const char* kTrollidian2 = "trollidian2.png";
constexpr const char* kProgress = "progress.png";
constexpr const char* kProgressBar = "progressbar.png";
constexpr const char* kPanel = "panel.png";
constexpr const char* kTitle = "title.png";
constexpr const char* kTitleBackground = "titlebg.png";
constexpr const char* kGameOver = "gameover.png";
constexpr const char* kPictures[] = {kDerivative1,     kDerivative2, kTrollidian1, kTrollidian2,
                                     kProgress,        kProgressBar, kPanel,       kTitle,
                                     kTitleBackground, kGameOver};

// The sound clips.
constexpr const char* kTitleMusic = "painting_with_gasoline.ogg";
constexpr const char* kGameMusic = "intention_ignited.ogg";
constexpr const char* kDeath = "death.ogg";
constexpr const char* kAccept = "accept.ogg";
constexpr const char* kGameOverSound = "gameover.ogg";
constexpr const char* kClips[] = {kTitleMusic, kGameMusic, kDeath, kAccept, kGameOverSound};

// The font: one picture per character code from 32 to 122, but for the
// eight codes below, named font/zorp_NNN.png.
constexpr int kFirstGlyph = 32;
constexpr int kLastGlyph = 122;

constexpr bool hasGlyphFile(int code) {
  if (code < kFirstGlyph || code > kLastGlyph) return false;
  switch (code) {
    case '*':
    case '<':
    case '>':
    case '@':
    case '\\':
    case '^':
    case '_':
    case '`':
      return false;
    default:
      return true;
  }
}

constexpr int countGlyphFiles() {
  int count = 0;
  for (int code = kFirstGlyph; code <= kLastGlyph; ++code) count += hasGlyphFile(code) ? 1 : 0;
  return count;
}
constexpr int kGlyphCount = countGlyphFiles();
static_assert(kGlyphCount == 83, "the font has 83 glyph files");

// "font/zorp_NNN.png", relative to resources/.
inline std::string glyphFile(int code) {
  char name[32];
  std::snprintf(name, sizeof name, "font/zorp_%03d.png", code);
  return name;
}

}  // namespace zt::resource_files
