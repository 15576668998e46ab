#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "audio/speaker.h"
#include "doubles.h"

namespace zt {
namespace {

using test::TestWaveDevice;

SoundClip makeClip(SpeakerInterface& speaker, std::vector<int16_t> samples) {
  SoundClip clip;
  speaker.createSoundClip(&clip, static_cast<uint32_t>(samples.size() / 2), 2, 44100,
                          samples.data());
  return clip;
}

class AudioMixer : public ::testing::Test {
 protected:
  void SetUp() override {
    device.keepBlocks = true;
    ASSERT_EQ(speaker.openDevice(SpeakerConfig{}, &device), 0);
  }

  // One pass of the mixer, handing a block back first when all are out.
  const std::vector<int16_t>& mix() {
    if (speaker.inspect().freeBufferCount == 0) device.done();
    EXPECT_TRUE(speaker.mixOneBlock());
    return device.blocks.back();
  }

  // A stereo clip whose sample k is k (mod 30000): every position is telling.
  SoundClip rampClip(uint32_t frames) {
    std::vector<int16_t> samples(frames * 2);
    for (size_t k = 0; k < samples.size(); ++k) samples[k] = static_cast<int16_t>(k % 30000);
    return makeClip(speaker, samples);
  }

  SoundClip constantClip(uint32_t frames, int16_t left, int16_t right) {
    std::vector<int16_t> samples;
    for (uint32_t f = 0; f < frames; ++f) samples.insert(samples.end(), {left, right});
    return makeClip(speaker, samples);
  }

  std::vector<PlayingSound> playing() const { return speaker.inspect().playingSounds; }

  // Declared first: the speaker closes it when it goes.
  TestWaveDevice device;
  SpeakerInterface speaker;
};

TEST_F(AudioMixer, SilenceWhenNothingPlaysAndBuffersRotate) {
  EXPECT_EQ(device.format.formatTag, 1);
  EXPECT_EQ(device.format.channels, 2);
  EXPECT_EQ(device.format.samplesPerSecond, 44100u);
  EXPECT_EQ(device.format.blockAlign, 4);
  EXPECT_EQ(device.format.averageBytesPerSecond, 176400u);
  EXPECT_EQ(device.format.bitsPerSample, 16);

  for (int i = 0; i < kWaveBufferCount; ++i) EXPECT_TRUE(speaker.mixOneBlock());
  EXPECT_EQ(speaker.inspect().freeBufferCount, 0);
  EXPECT_FALSE(speaker.mixOneBlock());  // all ten are at the device
  ASSERT_EQ(device.blocks.size(), 10u);
  for (int i = 0; i < kWaveBufferCount; ++i) {
    EXPECT_EQ(device.submitted[i], speaker.waveBuffer(i));
    EXPECT_EQ(device.sizes[i], 2048u);
    EXPECT_EQ(device.blocks[i], std::vector<int16_t>(kBlockSamples, 0));
  }
  EXPECT_EQ(speaker.waveBuffer(kWaveBufferCount), nullptr);

  // A returned buffer is refilled in turn: buffer 0 again.
  device.done();
  EXPECT_EQ(speaker.inspect().freeBufferCount, 1);
  EXPECT_TRUE(speaker.mixOneBlock());
  EXPECT_EQ(device.submitted.back(), speaker.waveBuffer(0));
  EXPECT_EQ(speaker.inspect().nextHeaderIndex, 1);

  // Closing hands the device back once; nothing is mixed after it.
  speaker.closeSpeaker();
  EXPECT_EQ(device.closes.load(), 1);
  device.done();
  EXPECT_FALSE(speaker.mixOneBlock());
  speaker.closeSpeaker();
  EXPECT_EQ(device.closes.load(), 1);
  // A closed speaker stays closed: opening it again is refused.
  TestWaveDevice later;
  testing::internal::CaptureStderr();
  EXPECT_EQ(speaker.openSpeaker(SpeakerConfig{}, &later), -1);
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(later.done);
}

TEST_F(AudioMixer, ChannelCountUsesItsLowSixteenBitsAndOneDeviceAtATime) {
  TestWaveDevice other;
  SpeakerInterface second;
  SpeakerConfig config;
  config.channels = 0x30002;
  ASSERT_EQ(second.openDevice(config, &other), 0);
  EXPECT_EQ(other.format.channels, 2);
  EXPECT_EQ(other.format.blockAlign, 4);

  // Already open: a second device would orphan the first.
  TestWaveDevice third;
  testing::internal::CaptureStderr();
  EXPECT_EQ(second.openDevice(config, &third), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Speaker Interface error: cannot open specified wave device.\n");
  EXPECT_FALSE(third.done);
  second.closeSpeaker();
  EXPECT_EQ(other.closes.load(), 1);
  EXPECT_EQ(third.closes.load(), 0);
}

TEST_F(AudioMixer, SaturatesSoundBySoundInListOrder) {
  SoundClip loud = constantClip(4, 30000, -30000);
  SoundClip push = constantClip(4, 5000, -5000);
  SoundClip back = constantClip(4, -4000, 4000);

  // Clamped after the second sound, the third is added to the clamped value.
  speaker.playSound(&loud, false);
  speaker.playSound(&push, false);
  speaker.playSound(&back, false);
  const auto block = mix();
  EXPECT_EQ(block[0], 32767 - 4000);
  EXPECT_EQ(block[1], -32768 + 4000);
  EXPECT_EQ(block[6], 32767 - 4000);
  EXPECT_EQ(block[7], -32768 + 4000);
  EXPECT_EQ(block[8], 0);  // past the 4-frame clips

  // In another order nothing clamps.
  mix();  // the three are removed
  ASSERT_EQ(speaker.playingSoundCount(), 0u);
  speaker.playSound(&loud, false);
  speaker.playSound(&back, false);
  speaker.playSound(&push, false);
  const auto other = mix();
  EXPECT_EQ(other[0], 31000);
  EXPECT_EQ(other[1], -31000);

  // Exactly at the limits, and one past them.
  mix();
  SoundClip top = constantClip(1, 32767, -32768);
  SoundClip one = constantClip(1, 1, -1);
  SoundClip zero = constantClip(1, 0, 0);
  speaker.playSound(&top, false);
  speaker.playSound(&zero, false);
  speaker.playSound(&one, false);
  const auto edge = mix();
  EXPECT_EQ(edge[0], 32767);
  EXPECT_EQ(edge[1], -32768);
}

TEST_F(AudioMixer, NonLoopingClipEndsAtTheStartOfABlockAndGoesInTheNextPass) {
  SoundClip clip = rampClip(700);
  speaker.playSound(&clip, false);

  const auto first = mix();
  for (int i = 0; i < kBlockSamples; ++i) ASSERT_EQ(first[i], i);
  EXPECT_EQ(playing().front().position, 512u);

  const auto second = mix();
  for (int i = 0; i < 376; ++i) ASSERT_EQ(second[i], 1024 + i);
  for (int i = 376; i < kBlockSamples; ++i) ASSERT_EQ(second[i], 0);
  EXPECT_EQ(playing().front().position, 700u);
  EXPECT_EQ(speaker.playingSoundCount(), 1u);  // still listed until the next pass

  const auto third = mix();
  EXPECT_EQ(third, std::vector<int16_t>(kBlockSamples, 0));
  EXPECT_EQ(speaker.playingSoundCount(), 0u);
  EXPECT_TRUE(playing().empty());
}

TEST_F(AudioMixer, LoopingClipWrapsInsideTheBlock) {
  SoundClip clip = rampClip(300);
  speaker.playSound(&clip, true);

  const auto first = mix();
  for (int i = 0; i < 600; ++i) ASSERT_EQ(first[i], i);
  for (int i = 600; i < kBlockSamples; ++i) ASSERT_EQ(first[i], i - 600);
  EXPECT_EQ(playing().front().position, 212u);

  const auto second = mix();
  for (int i = 0; i < kBlockSamples; ++i) ASSERT_EQ(second[i], (424 + i) % 600);
  EXPECT_EQ(playing().front().position, (212u + 512u) % 300u);
  EXPECT_EQ(speaker.playingSoundCount(), 1u);

  // A clip shorter than a block repeats several times in it.
  SoundClip tiny = rampClip(3);
  speaker.stopSound(&clip);
  mix();
  speaker.playSound(&tiny, true);
  const auto third = mix();
  for (int i = 0; i < kBlockSamples; ++i) ASSERT_EQ(third[i], i % 6);
  EXPECT_EQ(playing().front().position, 512u % 3u);
}

TEST_F(AudioMixer, EmptyClipIsRemovedWithoutBeingMixed) {
  SoundClip empty = makeClip(speaker, {});
  SoundClip music = constantClip(2000, 100, 100);
  speaker.playSound(&empty, false);
  speaker.playSound(&empty, true);
  speaker.playSound(&music, true);
  EXPECT_EQ(speaker.playingSoundCount(), 3u);
  const auto block = mix();
  EXPECT_EQ(block, std::vector<int16_t>(kBlockSamples, 100));
  ASSERT_EQ(playing().size(), 1u);
  EXPECT_EQ(playing().front().clip, &music);
}

TEST_F(AudioMixer, StopSoundRemovesEveryInstanceAfterTheNextBlock) {
  SoundClip music = constantClip(5000, 10, 10);
  SoundClip other = constantClip(5000, 1, 1);
  speaker.playSound(&music, true);
  speaker.playSound(&other, false);
  speaker.playSound(&music, false);
  speaker.playSound(&music, true);
  mix();

  SoundClip notPlaying = constantClip(5, 7, 7);
  speaker.stopSound(&notPlaying);
  EXPECT_EQ(speaker.inspect().pendingRemovals, 0u);
  speaker.stopSound(&music);
  speaker.stopSound(&music);  // a second stop changes nothing
  EXPECT_EQ(speaker.inspect().pendingRemovals, 3u);
  EXPECT_EQ(speaker.playingSoundCount(), 4u);

  // Still heard in the next block, gone after it.
  const auto block = mix();
  EXPECT_EQ(block[0], 31);
  ASSERT_EQ(playing().size(), 1u);
  EXPECT_EQ(playing().front().clip, &other);
  EXPECT_EQ(speaker.playingSoundCount(), 1u);
  EXPECT_EQ(mix()[0], 1);
}

TEST_F(AudioMixer, SoundStoppedAsItEndsIsRemovedOnce) {
  SoundClip shortClip = constantClip(512, 3, 3);
  SoundClip before = constantClip(5000, 1, 1);
  SoundClip after = constantClip(5000, 2, 2);
  speaker.playSound(&before, true);
  speaker.playSound(&shortClip, false);
  speaker.playSound(&after, true);
  mix();  // shortClip reaches its end
  speaker.stopSound(&shortClip);
  // Queued by the stop and again by the mixer for its end.
  const auto block = mix();
  EXPECT_EQ(block[0], 3);
  const auto left = playing();
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left.front().clip, &before);
  EXPECT_EQ(left.back().clip, &after);
  EXPECT_EQ(speaker.inspect().pendingRemovals, 0u);
}

TEST(AudioSoundClips, CreateCopiesAndMakesEveryClipStereo) {
  SpeakerInterface speaker;
  const std::vector<int16_t> stereo = {1, 2, 3, 4};
  SoundClip a, b, c, d;
  speaker.createSoundClip(&a, 2, 2, 44100, stereo.data());
  speaker.createSoundClip(&b, 2, 1, 22050, stereo.data());
  speaker.createSoundClip(&c, 1, 3, 44100, stereo.data());
  speaker.createSoundClip(&d, 5, 2, 44100, nullptr);
  // Each speaker numbers its own clips from 0.
  EXPECT_EQ(a.id, 0);
  EXPECT_EQ(b.id, 1);
  EXPECT_EQ(c.id, 2);
  EXPECT_EQ(d.id, 3);
  SpeakerInterface another;
  SoundClip e;
  EXPECT_EQ(another.createSoundClip(&e, 2, 2, 44100, stereo.data())->id, 0);
  EXPECT_EQ(speaker.createSoundClip(nullptr, 2, 2, 44100, stereo.data()), nullptr);

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
  SpeakerInterface speaker;
  SoundClip clip = makeClip(speaker, std::vector<int16_t>(200, 5));
  speaker.playSound(&clip, true);  // before openSpeaker
  speaker.playSound(nullptr, true);
  EXPECT_EQ(speaker.playingSoundCount(), 1u);

  TestWaveDevice refusing;
  refusing.canOpen = false;
  for (WaveDevice* device :
       {static_cast<WaveDevice*>(nullptr), static_cast<WaveDevice*>(&refusing)}) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(speaker.openSpeaker(SpeakerConfig{}, device), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Speaker Interface error: cannot open specified wave device.\n");
  }
  EXPECT_FALSE(speaker.mixOneBlock());
  EXPECT_EQ(speaker.waveBuffer(0), nullptr);
  speaker.playSound(&clip, false);
  speaker.stopSound(&clip);
  speaker.stopSound(&clip);
  EXPECT_EQ(speaker.playingSoundCount(), 2u);
  EXPECT_EQ(speaker.inspect().pendingRemovals, 2u);
  speaker.closeSpeaker();  // no thread to wait for, no device to close
  EXPECT_EQ(refusing.closes.load(), 0);
}

TEST(AudioNoDevice, HandMadeClipIsNeverReadPastItsSamples) {
  TestWaveDevice device;
  device.keepBlocks = true;
  SpeakerInterface speaker;
  ASSERT_EQ(speaker.openDevice(SpeakerConfig{}, &device), 0);
  SoundClip mono;  // not made by createSoundClip: one channel, 600 samples
  mono.frameCount = 600;
  mono.channelCount = 1;
  mono.samples = std::make_unique<int16_t[]>(600);
  std::iota(mono.samples.get(), mono.samples.get() + 600, 1);
  speaker.playSound(&mono, false);
  EXPECT_EQ(speaker.inspect().playingSounds.front().length, 300u);
  ASSERT_TRUE(speaker.mixOneBlock());
  EXPECT_EQ(device.blocks.back()[599], 600);
  EXPECT_EQ(device.blocks.back()[600], 0);
}

}  // namespace
}  // namespace zt
