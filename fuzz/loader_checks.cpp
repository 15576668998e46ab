#include "loader_checks.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "audio/ogg_clip.h"
#include "audio/speaker.h"
#include "core/color.h"
#include "core/id_counter.h"
#include "core/image.h"
#include "doubles.h"
#include "scene/image_file.h"

namespace zt::fuzz {

namespace {

// Mixing a long clip to its end would only repeat the same passes.
constexpr uint32_t kMaxMixedBlocks = 64;

bool samePngInfo(const PngInfo& a, const PngInfo& b) {
  return a.height == b.height && a.width == b.width && a.bitDepth == b.bitDepth &&
         a.channels == b.channels && a.colorType == b.colorType;
}

// Reads every byte, so that a buffer shorter than promised is an
// AddressSanitizer report here rather than a silent wrong picture.
uint32_t readAll(const uint8_t* bytes, size_t size) {
  uint32_t sum = 0;
  for (size_t i = 0; i < size; ++i) sum = sum * 31 + bytes[i];
  return sum;
}

// One pass of the mixer, its block handed straight back, so that the mixer
// is driven pass by pass on this thread.
bool mixPass(SpeakerInterface& speaker, test::TestWaveDevice& device) {
  const bool mixed = speaker.mixOneBlock();
  device.handBack();
  return mixed;
}

// The stereo frames a clip made from these decoded samples must hold: mono
// on both sides, the first two of more channels.
std::string compareClipWithDecoded(const SoundClip& clip, const int16_t* decoded,
                                   const ClipFormat& format) {
  const size_t channels = static_cast<size_t>(format.channelCount);
  const size_t second = channels == 1 ? 0 : 1;
  for (size_t frame = 0; frame < clip.frameCount; ++frame) {
    if (clip.samples[frame * 2] != decoded[frame * channels] ||
        clip.samples[frame * 2 + 1] != decoded[frame * channels + second]) {
      return "clip frame " + std::to_string(frame) + " differs from the decoded samples";
    }
  }
  return "";
}

std::string mixClip(SpeakerInterface& speaker, test::TestWaveDevice& device, SoundClip* clip) {
  if (speaker.openDevice(SpeakerConfig{}, &device) != 0) return "the mixer refused a device";
  speaker.playSound(clip, false);
  speaker.playSound(clip, true);
  // A clip played once is mixed block by block and dropped in the pass after
  // its last samples; the looping one stays, unless it has no frames at all.
  const uint64_t passesToEnd = (static_cast<uint64_t>(clip->frameCount) + 511) / 512 + 1;
  const uint64_t passes = std::min<uint64_t>(passesToEnd, kMaxMixedBlocks);
  for (uint64_t pass = 0; pass < passes; ++pass) {
    if (!mixPass(speaker, device)) return "the mixer found no free buffer";
  }
  std::string problem;
  const uint32_t stillPlaying = clip->frameCount > 0 ? 1 : 0;
  const uint32_t playing = speaker.playingSoundCount();
  if (passesToEnd <= kMaxMixedBlocks && playing != stillPlaying) {
    problem = std::to_string(playing) + " sounds playing after the end of a clip of " +
              std::to_string(clip->frameCount) + " frames, want " + std::to_string(stillPlaying);
  }
  speaker.stopSound(clip);
  mixPass(speaker, device);
  if (problem.empty() && speaker.playingSoundCount() != 0) {
    problem = "a stopped clip is still playing";
  }
  speaker.closeSpeaker();
  return problem;
}

}  // namespace

std::string checkPngFile(const std::string& path) {
  // A refused file must leave what the last good load reported.
  PngInfo info;
  info.height = 0xdead;
  info.width = 0xbeef;
  info.bitDepth = -1;
  info.channels = -1;
  info.colorType = -1;
  const PngInfo before = info;
  std::unique_ptr<uint8_t[]> bytes = loadPng(info, path);
  if (!bytes) {
    if (!samePngInfo(info, before)) return "a refused PNG changed PngInfo";
    IdCounter ids;
    if (loadImage(ids, path)) return "loadImage made an Image of a file loadPng refuses";
    return "";
  }

  if (info.bitDepth != 8 || info.channels != 4 || info.colorType != 6) {
    return "loadPng reported something other than 8-bit RGBA";
  }
  if (info.width == 0 || info.height == 0 || info.width > kMaxPictureSide ||
      info.height > kMaxPictureSide) {
    return "loadPng accepted a picture of " + std::to_string(info.width) + " x " +
           std::to_string(info.height);
  }
  const size_t rowBytes = static_cast<size_t>(info.width) * 4;
  const size_t size = rowBytes * info.height;
  if (size > kMaxPictureBytes) return "loadPng returned more than its limit";
  readAll(bytes.get(), size);

  PngInfo imageInfo;
  IdCounter ids;
  std::unique_ptr<Image> image = loadImage(ids, path, &imageInfo);
  if (!image) return "loadImage refused a file loadPng accepts";
  if (!samePngInfo(imageInfo, info) || image->width != info.width || image->height != info.height ||
      image->loadedWidth != info.width) {
    return "the Image's size differs from the decoded picture's";
  }
  // The display draws from the bottom row up.
  for (uint32_t r = 0; r < info.height; ++r) {
    if (std::memcmp(image->pixels.get() + (info.height - 1 - r) * rowBytes,
                    bytes.get() + r * rowBytes, rowBytes) != 0) {
      return "Image row " + std::to_string(info.height - 1 - r) + " is not decoded row " +
             std::to_string(r);
    }
  }

  // What the frame loop and the level changes do to pictures.
  for (int64_t width : {int64_t{300}, int64_t{0}, int64_t{-5}, int64_t{1} << 40}) {
    narrowImage(image.get(), width);
    if (image->width < 1 || image->width > info.width) {
      return "narrowing to " + std::to_string(width) + " gave a width of " +
             std::to_string(image->width);
    }
  }
  const Color from[] = {kBlack, kWhite};
  const Color to[] = {kWhite, kBlack};
  swapColors(image.get(), from, to, 2);
  return "";
}

std::string checkOggFile(const std::string& path) {
  ClipFormat format;
  std::unique_ptr<int16_t[]> decoded = loadOggClip(format, path);
  if (decoded) {
    if (format.channelCount <= 0 || format.sampleRate <= 0 || format.frameCount < 0) {
      return "loadOggClip accepted a stream of " + std::to_string(format.channelCount) +
             " channels at " + std::to_string(format.sampleRate) + " Hz";
    }
    const size_t samples =
        static_cast<size_t>(format.frameCount) * static_cast<size_t>(format.channelCount);
    if (samples * 2 > kMaxClipBytes) return "loadOggClip returned more than its limit";
    readAll(reinterpret_cast<const uint8_t*>(decoded.get()), samples * 2);
  }

  // Declared first: the speaker closes it when it goes. It reads every
  // block, so a short one is a sanitizer's report.
  test::TestWaveDevice device;
  device.readsBlocks = true;
  SpeakerInterface speaker;
  std::vector<std::unique_ptr<SoundClip>> clips = loadSoundClips(speaker, {path}, 1);
  if (clips.size() != 1 || clips[0] == nullptr) return "loadSoundClips made no clip";
  SoundClip* clip = clips[0].get();
  if (clip->channelCount != 2) return "a clip that is not stereo";
  const uint32_t frames = decoded ? static_cast<uint32_t>(format.frameCount) : 0;
  if (clip->frameCount != frames) {
    return "the clip has " + std::to_string(clip->frameCount) + " frames, the stream " +
           std::to_string(frames);
  }
  if (decoded) {
    std::string problem = compareClipWithDecoded(*clip, decoded.get(), format);
    if (!problem.empty()) return problem;
  }
  return mixClip(speaker, device, clip);
}

std::string scratchPath(const std::string& ending) {
  std::string dir = "/dev/shm";
  if (access(dir.c_str(), W_OK) != 0) {
    const char* tmp = std::getenv("TMPDIR");
    dir = tmp && *tmp ? tmp : "/tmp";
  }
  return dir + "/zt-fuzz-" + std::to_string(getpid()) + ending;
}

int fuzzOneFile(const uint8_t* data, size_t size, const std::string& ending,
                std::string (*check)(const std::string&)) {
  const std::string path = scratchPath(ending);
  if (!writeFile(path, data, size)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::abort();
  }
  const std::string problem = check(path);
  if (!problem.empty()) {
    // Standard output: the fuzz script closes the loaders' standard error.
    std::printf("check failed: %s\n", problem.c_str());
    std::fflush(stdout);
    std::abort();
  }
  return 0;
}

bool writeFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace zt::fuzz
