#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zt {

struct ClipFormat {
  int32_t frameCount = 0;
  int32_t sampleRate = 0;
  int32_t channelCount = 0;
};

// Decodes a whole Ogg Vorbis file into interleaved signed 16-bit samples and
// fills format. Null (after "Error: bad Ogg Vorbis file") when the file cannot
// be opened or decoded.
std::unique_ptr<int16_t[]> loadOggClip(ClipFormat& format, const std::string& path);

}  // namespace zt

namespace zt {

struct SoundClip;

// Decodes each file (possibly in parallel) and creates the clips in the
// order given, so their ids follow that order. A file that fails to decode
// becomes an empty clip (0 frames) that plays as silence; clips are always
// stereo (mono is doubled, extra channels dropped).
std::vector<SoundClip*> loadSoundClips(const std::vector<std::string>& paths);

}  // namespace zt
