#include "audio/ogg_clip.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace zt {

size_t readAllPcm(const std::function<long(char* into, int bytes)>& read, char* out, size_t size,
                  std::string& errors) {
  size_t offset = 0;
  int32_t holes = 0;
  while (offset < size) {
    const int want = static_cast<int>(std::min<size_t>(size - offset, INT_MAX));
    const long got = read(out + offset, want);
    if (got == 0) break;  // end of the stream; the rest stays zero
    if (got < 0) {
      errors += "Error reading Ogg Vorbis file.\n";
      // Only a hole is reported once with decoding going on after it. Any
      // other error can leave the decoder half set up (a codebook that failed
      // to build stays half built), and asking it again then crashes inside
      // libvorbis, so the rest of the clip stays silent instead. A stream
      // that keeps reporting holes would hold up start-up for ever.
      if (got != OV_HOLE || ++holes >= kMaxHoles) break;
      continue;
    }
    holes = 0;
    offset += std::min(static_cast<size_t>(got), size - offset);
  }
  return offset;
}

std::unique_ptr<int16_t[]> decodeOggClip(ClipFormat& format, const std::string& path,
                                         std::string& errors) {
  // A failed load leaves nothing of an earlier file behind.
  format = ClipFormat{};
  FILE* file = std::fopen(path.c_str(), "rb");
  OggVorbis_File decoder;
  if (file == nullptr || ov_open_callbacks(file, &decoder, nullptr, 0, OV_CALLBACKS_NOCLOSE) < 0) {
    errors += "Error: bad Ogg Vorbis file\n";
    if (file != nullptr) std::fclose(file);
    return nullptr;
  }
  const vorbis_info* info = ov_info(&decoder, -1);
  const ogg_int64_t frames = ov_pcm_total(&decoder, -1);
  if (info == nullptr || info->channels <= 0 || info->rate <= 0 || frames < 0) {
    errors += "Error: bad Ogg Vorbis file\n";
    ov_clear(&decoder);
    std::fclose(file);
    return nullptr;
  }
  const uint64_t samples = static_cast<uint64_t>(frames) * static_cast<uint64_t>(info->channels);
  if (frames > INT32_MAX || samples * 2 > kMaxClipBytes) {
    errors += "Error: Ogg Vorbis file too long\n";
    ov_clear(&decoder);
    std::fclose(file);
    return nullptr;
  }
  format.frameCount = static_cast<int32_t>(frames);
  format.sampleRate = static_cast<int32_t>(info->rate);
  format.channelCount = info->channels;

  // Value-initialised: whatever a short stream leaves unwritten is silence.
  auto buffer = std::make_unique<int16_t[]>(samples);
  int section = 0;
  readAllPcm(
      [&](char* into, int bytes) {
        return ov_read(&decoder, into, bytes, 0 /* little-endian */, 2 /* 16-bit */, 1 /* signed */,
                       &section);
      },
      reinterpret_cast<char*>(buffer.get()), samples * 2, errors);
  ov_clear(&decoder);
  std::fclose(file);
  return buffer;
}

std::unique_ptr<int16_t[]> loadOggClip(ClipFormat& format, const std::string& path) {
  std::string errors;
  auto buffer = decodeOggClip(format, path, errors);
  std::fputs(errors.c_str(), stderr);
  return buffer;
}

}  // namespace zt
