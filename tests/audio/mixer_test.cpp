#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "audio/speaker.h"

namespace zt {
namespace {

// Keeps what the mixer hands over; buffers come back only when the test says.
class RecordingDevice : public WaveDevice {
 public:
  bool open(const WaveFormat& f, DoneCallback, void*) override {
    format = f;
    return canOpen;
  }
  void prepare(WaveBuffer& buffer) override { buffer.flags |= WaveBuffer::kPrepared; }
  void write(WaveBuffer& buffer) override {
    written.push_back(&buffer);
    const auto* samples = reinterpret_cast<const int16_t*>(buffer.data);
    blocks.emplace_back(samples, samples + buffer.length / 2);
  }
  void unprepare(WaveBuffer& buffer) override {
    buffer.flags &= ~WaveBuffer::kPrepared;
    ++unprepared;
  }

  bool canOpen = true;
  WaveFormat format;
  std::vector<WaveBuffer*> written;
  std::vector<std::vector<int16_t>> blocks;
  int unprepared = 0;
};

SoundClip makeClip(std::vector<int16_t> samples) {
  SoundClip clip;
  createSoundClip(&clip, static_cast<uint32_t>(samples.size() / 2), 2, 44100, samples.data());
  return clip;
}

// A stereo clip whose sample k is k (mod 30000): every position is telling.
SoundClip rampClip(uint32_t frames) {
  std::vector<int16_t> samples(frames * 2);
  for (size_t k = 0; k < samples.size(); ++k) samples[k] = static_cast<int16_t>(k % 30000);
  return makeClip(samples);
}

SoundClip constantClip(uint32_t frames, int16_t left, int16_t right) {
  std::vector<int16_t> samples;
  for (uint32_t f = 0; f < frames; ++f) samples.insert(samples.end(), {left, right});
  return makeClip(samples);
}

class AudioMixer : public ::testing::Test {
 protected:
  void SetUp() override {
    resetSpeaker();
    ASSERT_EQ(openSpeakerDevice(SpeakerConfig{}, &device), 0);
  }
  void TearDown() override { resetSpeaker(); }

  // One pass of the mixer, handing a buffer back first when all are out.
  const std::vector<int16_t>& mix() {
    if (freeBufferCount.load() == 0) waveOutDone(nullptr);
    EXPECT_TRUE(mixOneBlock());
    return device.blocks.back();
  }

  RecordingDevice device;
};

TEST_F(AudioMixer, SilenceWhenNothingPlaysAndBuffersRotate) {
  EXPECT_EQ(device.format.formatTag, 1);
  EXPECT_EQ(device.format.channels, 2);
  EXPECT_EQ(device.format.samplesPerSecond, 44100u);
  EXPECT_EQ(device.format.blockAlign, 4);
  EXPECT_EQ(device.format.averageBytesPerSecond, 176400u);
  EXPECT_EQ(device.format.bitsPerSample, 16);

  for (int i = 0; i < kWaveBufferCount; ++i) EXPECT_TRUE(mixOneBlock());
  EXPECT_EQ(freeBufferCount.load(), 0);
  EXPECT_FALSE(mixOneBlock());  // all ten are at the device
  EXPECT_EQ(device.blocks.size(), 10u);
  for (int i = 0; i < kWaveBufferCount; ++i) {
    EXPECT_EQ(device.written[i], &waveHeaders[i]);
    EXPECT_EQ(device.written[i]->length, 2048u);
    EXPECT_EQ(device.blocks[i], std::vector<int16_t>(kBlockSamples, 0));
  }
  EXPECT_EQ(device.unprepared, 0);

  // A returned buffer is refilled in turn: header 0 again, unprepared first.
  waveOutDone(nullptr);
  EXPECT_EQ(freeBufferCount.load(), 1);
  EXPECT_TRUE(mixOneBlock());
  EXPECT_EQ(device.written.back(), &waveHeaders[0]);
  EXPECT_EQ(device.unprepared, 1);
  EXPECT_EQ(nextHeaderIndex, 1);
}

TEST_F(AudioMixer, ChannelCountUsesItsLowSixteenBits) {
  resetSpeaker();
  SpeakerConfig config;
  config.channels = 0x30002;
  ASSERT_EQ(openSpeakerDevice(config, &device), 0);
  EXPECT_EQ(device.format.channels, 2);
  EXPECT_EQ(device.format.blockAlign, 4);
}

TEST_F(AudioMixer, SaturatesSoundBySoundInListOrder) {
  SoundClip loud = constantClip(4, 30000, -30000);
  SoundClip push = constantClip(4, 5000, -5000);
  SoundClip back = constantClip(4, -4000, 4000);

  // Clamped after the second sound, the third is added to the clamped value.
  playSound(&loud, false);
  playSound(&push, false);
  playSound(&back, false);
  const auto block = mix();
  EXPECT_EQ(block[0], 32767 - 4000);
  EXPECT_EQ(block[1], -32768 + 4000);
  EXPECT_EQ(block[6], 32767 - 4000);
  EXPECT_EQ(block[7], -32768 + 4000);
  EXPECT_EQ(block[8], 0);  // past the 4-frame clips

  // In another order nothing clamps.
  mix();  // the three are removed
  ASSERT_EQ(playingSoundCount(), 0u);
  playSound(&loud, false);
  playSound(&back, false);
  playSound(&push, false);
  const auto other = mix();
  EXPECT_EQ(other[0], 31000);
  EXPECT_EQ(other[1], -31000);

  // Exactly at the limits, and one past them.
  mix();
  SoundClip top = constantClip(1, 32767, -32768);
  SoundClip one = constantClip(1, 1, -1);
  SoundClip zero = constantClip(1, 0, 0);
  playSound(&top, false);
  playSound(&zero, false);
  playSound(&one, false);
  const auto edge = mix();
  EXPECT_EQ(edge[0], 32767);
  EXPECT_EQ(edge[1], -32768);
}

TEST_F(AudioMixer, NonLoopingClipEndsAtTheStartOfABlockAndGoesInTheNextPass) {
  SoundClip clip = rampClip(700);
  playSound(&clip, false);

  const auto first = mix();
  for (int i = 0; i < kBlockSamples; ++i) ASSERT_EQ(first[i], i);
  EXPECT_EQ(playingSounds.front().position, 512u);

  const auto second = mix();
  for (int i = 0; i < 376; ++i) ASSERT_EQ(second[i], 1024 + i);
  for (int i = 376; i < kBlockSamples; ++i) ASSERT_EQ(second[i], 0);
  EXPECT_EQ(playingSounds.front().position, 700u);
  EXPECT_EQ(playingSoundCount(), 1u);  // still listed until the next pass

  const auto third = mix();
  EXPECT_EQ(third, std::vector<int16_t>(kBlockSamples, 0));
  EXPECT_EQ(playingSoundCount(), 0u);
  EXPECT_TRUE(playingSounds.empty());
}

TEST_F(AudioMixer, LoopingClipWrapsInsideTheBlock) {
  SoundClip clip = rampClip(300);
  playSound(&clip, true);

  const auto first = mix();
  for (int i = 0; i < 600; ++i) ASSERT_EQ(first[i], i);
  for (int i = 600; i < kBlockSamples; ++i) ASSERT_EQ(first[i], i - 600);
  EXPECT_EQ(playingSounds.front().position, 212u);

  const auto second = mix();
  for (int i = 0; i < kBlockSamples; ++i) ASSERT_EQ(second[i], (424 + i) % 600);
  EXPECT_EQ(playingSounds.front().position, (212u + 512u) % 300u);
  EXPECT_EQ(playingSoundCount(), 1u);

  // A clip shorter than a block repeats several times in it.
  SoundClip tiny = rampClip(3);
  stopSound(&clip);
  mix();
  playSound(&tiny, true);
  const auto third = mix();
  for (int i = 0; i < kBlockSamples; ++i) ASSERT_EQ(third[i], i % 6);
  EXPECT_EQ(playingSounds.front().position, 512u % 3u);
}

TEST_F(AudioMixer, EmptyClipIsRemovedWithoutBeingMixed) {
  SoundClip empty = makeClip({});
  SoundClip music = constantClip(2000, 100, 100);
  playSound(&empty, false);
  playSound(&empty, true);
  playSound(&music, true);
  EXPECT_EQ(playingSoundCount(), 3u);
  const auto block = mix();
  EXPECT_EQ(block, std::vector<int16_t>(kBlockSamples, 100));
  ASSERT_EQ(playingSounds.size(), 1u);
  EXPECT_EQ(playingSounds.front().clip, &music);
}

TEST_F(AudioMixer, StopSoundRemovesEveryInstanceAfterTheNextBlock) {
  SoundClip music = constantClip(5000, 10, 10);
  SoundClip other = constantClip(5000, 1, 1);
  playSound(&music, true);
  playSound(&other, false);
  playSound(&music, false);
  playSound(&music, true);
  mix();

  SoundClip notPlaying = constantClip(5, 7, 7);
  stopSound(&notPlaying);
  EXPECT_TRUE(pendingRemovals.empty());
  stopSound(&music);
  stopSound(&music);  // a second stop changes nothing
  EXPECT_EQ(playingSoundCount(), 4u);

  // Still heard in the next block, gone after it.
  const auto block = mix();
  EXPECT_EQ(block[0], 31);
  ASSERT_EQ(playingSounds.size(), 1u);
  EXPECT_EQ(playingSounds.front().clip, &other);
  EXPECT_EQ(playingSoundCount(), 1u);
  EXPECT_EQ(mix()[0], 1);
}

TEST_F(AudioMixer, SoundStoppedAsItEndsIsRemovedOnce) {
  SoundClip shortClip = constantClip(512, 3, 3);
  SoundClip before = constantClip(5000, 1, 1);
  SoundClip after = constantClip(5000, 2, 2);
  playSound(&before, true);
  playSound(&shortClip, false);
  playSound(&after, true);
  mix();  // shortClip reaches its end
  stopSound(&shortClip);
  // Queued by the stop and again by the mixer for its end.
  const auto block = mix();
  EXPECT_EQ(block[0], 3);
  ASSERT_EQ(playingSounds.size(), 2u);
  EXPECT_EQ(playingSounds.front().clip, &before);
  EXPECT_EQ(playingSounds.back().clip, &after);
  EXPECT_TRUE(pendingRemovals.empty());
}

TEST(AudioSoundClips, CreateCopiesAndMakesEveryClipStereo) {
  const std::vector<int16_t> stereo = {1, 2, 3, 4};
  SoundClip a, b, c, d;
  createSoundClip(&a, 2, 2, 44100, stereo.data());
  createSoundClip(&b, 2, 1, 22050, stereo.data());
  createSoundClip(&c, 1, 3, 44100, stereo.data());
  createSoundClip(&d, 5, 2, 44100, nullptr);
  EXPECT_EQ(b.id, a.id + 1);
  EXPECT_EQ(c.id, a.id + 2);
  EXPECT_EQ(d.id, a.id + 3);
  EXPECT_EQ(std::vector<int16_t>(a.samples.get(), a.samples.get() + 4), stereo);
  EXPECT_NE(a.samples.get(), stereo.data());
  EXPECT_EQ(b.channelCount, 2);
  EXPECT_EQ(b.sampleRate, 22050);
  EXPECT_EQ(std::vector<int16_t>(b.samples.get(), b.samples.get() + 4),
            (std::vector<int16_t>{1, 1, 2, 2}));
  EXPECT_EQ(std::vector<int16_t>(c.samples.get(), c.samples.get() + 2),
            (std::vector<int16_t>{1, 2}));
  EXPECT_EQ(d.frameCount, 0u);
}

TEST(AudioNoDevice, RequestsAreKeptAndNothingIsMixed) {
  resetSpeaker();
  SoundClip clip = constantClip(100, 5, 5);
  playSound(&clip, true);  // before openSpeaker
  playSound(nullptr, true);
  EXPECT_EQ(playingSoundCount(), 1u);

  RecordingDevice refusing;
  refusing.canOpen = false;
  for (WaveDevice* device :
       {static_cast<WaveDevice*>(nullptr), static_cast<WaveDevice*>(&refusing)}) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(openSpeaker(SpeakerConfig{}, device), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Speaker Interface error: cannot open specified wave device.\n");
  }
  EXPECT_FALSE(mixOneBlock());
  playSound(&clip, false);
  stopSound(&clip);
  EXPECT_EQ(playingSoundCount(), 2u);
  EXPECT_EQ(pendingRemovals.size(), 2u);
  stopMixer();  // no thread to wait for
  resetSpeaker();
}

TEST(AudioNoDevice, HandMadeClipIsNeverReadPastItsSamples) {
  resetSpeaker();
  RecordingDevice device;
  ASSERT_EQ(openSpeakerDevice(SpeakerConfig{}, &device), 0);
  SoundClip mono;  // not made by createSoundClip: one channel, 600 samples
  mono.frameCount = 600;
  mono.channelCount = 1;
  mono.samples = std::make_unique<int16_t[]>(600);
  std::iota(mono.samples.get(), mono.samples.get() + 600, 1);
  playSound(&mono, false);
  EXPECT_EQ(playingSounds.front().length, 300u);
  ASSERT_TRUE(mixOneBlock());
  EXPECT_EQ(device.blocks.back()[599], 600);
  EXPECT_EQ(device.blocks.back()[600], 0);
  resetSpeaker();
}

}  // namespace
}  // namespace zt
