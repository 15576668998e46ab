#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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
// be opened or decoded, or (after its own error line) when it is too long to
// hold in memory. Samples the stream does not deliver are zero.
std::unique_ptr<int16_t[]> loadOggClip(ClipFormat& format, const std::string& path);

// loadOggClip that appends its error lines to errors instead of writing them,
// so that parallel decodes can report in a fixed order.
std::unique_ptr<int16_t[]> decodeOggClip(ClipFormat& format, const std::string& path,
                                         std::string& errors);

// Longest clip accepted: about 25 minutes of stereo at 44100 Hz.
constexpr size_t kMaxClipBytes = size_t{256} << 20;
// Consecutive holes after which the rest of a clip is left silent.
constexpr int32_t kMaxHoles = 32;

// The decode loop: fills out[0, size) from read (an ov_read-like function:
// bytes delivered, 0 at the end of the stream, negative on a read error).
// Each failed read appends "Error reading Ogg Vorbis file.\n" to errors.
// Decoding goes on after a hole in the data (OV_HOLE) and ends at any other
// error, leaving the rest of out as it was. Returns the number of bytes filled.
size_t readAllPcm(const std::function<long(char* into, int bytes)>& read, char* out, size_t size,
                  std::string& errors);

struct SoundClip;
class SpeakerInterface;

// Decodes each file (possibly in parallel, on workerCount threads; 0: one
// per core) and creates the clips through the speaker in the order given,
// so their ids follow that order. A file that fails to decode becomes an
// empty clip (0 frames) that plays as silence; clips are always stereo
// (mono is doubled, extra channels dropped). Error lines come out in the
// order of the files.
std::vector<std::unique_ptr<SoundClip>> loadSoundClips(SpeakerInterface& speaker,
                                                       const std::vector<std::string>& paths,
                                                       unsigned workerCount = 0);

}  // namespace zt
