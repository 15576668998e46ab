#include "platform/sdl/sdl_wave_device.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "audio/speaker.h"
#include "test_support.h"

namespace zt {
namespace {

using namespace std::chrono_literals;

std::atomic<int> doneCount{0};
void countDone() {
  ++doneCount;
}

// Blocks of telling bytes, none of them zero.
struct Blocks {
  explicit Blocks(int count) : bytes(count, std::vector<uint8_t>(kBlockBytes)) {
    for (int b = 0; b < count; ++b) {
      for (int i = 0; i < kBlockBytes; ++i) bytes[b][i] = static_cast<uint8_t>(b * 31 + i % 7 + 1);
    }
  }
  void submitTo(WaveDevice& device) {
    for (const auto& block : bytes) device.submit(block.data(), kBlockBytes);
  }
  std::vector<std::vector<uint8_t>> bytes;
};

bool waitForDone(int count) {
  return test::waitUntil([&] { return doneCount.load() >= count; });
}

// SDL's output drivers: "dummy" throws the sound away, "disk" writes it to a
// file, both at about the real rate.
void useDriver(const char* driver, const std::string& file = "") {
  setenv("SDL_AUDIODRIVER", driver, 1);
  if (!file.empty()) setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
}

TEST(AudioSdlDevice, DummyDriverReturnsEveryBuffer) {
  useDriver("dummy");
  doneCount = 0;
  SdlWaveDevice device;
  ASSERT_TRUE(device.open(WaveFormat{}, countDone));
  EXPECT_FALSE(device.open(WaveFormat{}, countDone));  // already open
  Blocks blocks(6);
  blocks.submitTo(device);
  EXPECT_TRUE(waitForDone(6));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(doneCount.load(), 6);  // silence after, never a buffer twice
  device.close();
}

TEST(AudioSdlDevice, DiskDriverPlaysBuffersInTheOrderWritten) {
  test::TempDir dir;
  useDriver("disk", dir.file("out.raw"));
  doneCount = 0;
  SdlWaveDevice device;
  ASSERT_TRUE(device.open(WaveFormat{}, countDone));
  Blocks blocks(4);
  blocks.submitTo(device);
  EXPECT_TRUE(waitForDone(4));
  // Whatever silence came before the first write, then the four in order
  // (the driver writes each callback's output to the file after it).
  std::vector<uint8_t> out;
  size_t start = 0;
  test::waitUntil([&] {
    out = test::readBytes(dir.file("out.raw"));
    start = 0;
    while (start < out.size() && out[start] == 0) ++start;
    return out.size() >= start + 5 * kBlockBytes;
  });
  device.close();
  ASSERT_EQ(start % kBlockBytes, 0u);
  ASSERT_GE(out.size(), start + 4 * kBlockBytes);
  for (int b = 0; b < 4; ++b) {
    EXPECT_TRUE(std::equal(blocks.bytes[b].begin(), blocks.bytes[b].end(),
                           out.begin() + static_cast<long>(start + b * kBlockBytes)))
        << "block " << b;
  }
  EXPECT_TRUE(std::all_of(out.begin() + static_cast<long>(start + 4 * kBlockBytes), out.end(),
                          [](uint8_t v) { return v == 0; }));
}

TEST(AudioSdlDevice, MixerOutputReachesTheDiskDriver) {
  test::TempDir dir;
  useDriver("disk", dir.file("mixed.raw"));
  std::vector<int16_t> samples(1500 * 2);
  for (size_t k = 0; k < samples.size(); ++k) samples[k] = static_cast<int16_t>(k + 1);
  SoundClip clip;
  SpeakerInterface speaker;
  speaker.createSoundClip(&clip, 1500, 2, 44100, samples.data());
  // Where the clip starts in what the driver wrote, once all of it is there.
  auto clipStart = [&](std::vector<uint8_t>& out) {
    out = test::readBytes(dir.file("mixed.raw"));
    size_t start = 0;
    while (start < out.size() && out[start] == 0) ++start;
    return out.size() >= start + samples.size() * 2 + kBlockBytes ? start : 0;
  };
  std::vector<uint8_t> out;
  size_t start = 0;
  {
    SdlWaveDevice device;
    // openSpeaker returns once the mixer has queued its first ten blocks.
    ASSERT_EQ(speaker.openSpeaker(SpeakerConfig{}, &device), 0);
    speaker.playSound(&clip, false);
    test::waitUntil([&] { return (start = clipStart(out)) != 0; });
    speaker.closeSpeaker();
  }

  // Heard behind the ten blocks queued before it, from the start of a block.
  ASSERT_EQ(start % kBlockBytes, 0u);
  EXPECT_GE(start, 10u * kBlockBytes);
  ASSERT_GE(out.size(), start + samples.size() * 2);
  for (size_t k = 0; k < samples.size(); ++k) {
    const auto v = static_cast<int16_t>(out[start + 2 * k] | out[start + 2 * k + 1] << 8);
    ASSERT_EQ(v, samples[k]) << "sample " << k;
  }
  EXPECT_TRUE(std::all_of(out.begin() + static_cast<long>(start + samples.size() * 2), out.end(),
                          [](uint8_t v) { return v == 0; }));
}

TEST(AudioSdlDevice, NoSoundDeviceMeansOpenFails) {
  useDriver("no-such-driver");
  SdlWaveDevice device;
  EXPECT_FALSE(device.open(WaveFormat{}, countDone));
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);  // left as it found it
}

}  // namespace
}  // namespace zt
