#include "platform/headless/headless_wave_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <vector>

#include "audio/speaker.h"

namespace zt {
namespace {

SoundClip rampClip(SpeakerInterface& speaker, uint32_t frames, int16_t start) {
  std::vector<int16_t> samples(frames * 2);
  for (size_t k = 0; k < samples.size(); ++k) samples[k] = static_cast<int16_t>(start + k % 20000);
  SoundClip clip;
  speaker.createSoundClip(&clip, frames, 2, 44100, samples.data());
  return clip;
}

size_t threadsOfThisProcess() {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                           std::filesystem::directory_iterator()));
}

TEST(AudioHeadlessDevice, RecordsAPlayedClipBehindTheQueuedBuffers) {
  HeadlessWaveDevice device;
  SpeakerInterface speaker;
  const size_t threads = threadsOfThisProcess();
  ASSERT_EQ(speaker.openSpeaker(SpeakerConfig{}, &device), 0);
  EXPECT_EQ(device.queuedBlocks(), 10u);  // the mixer's first ten, silent
  // The device drives the mixing on this thread: no mixer thread of its own.
  EXPECT_EQ(threadsOfThisProcess(), threads);

  SoundClip clip = rampClip(speaker, 700, 1);
  speaker.playSound(&clip, false);
  // 735 frames a frame: blocks are used 1, 1, 2, 1, ... at a time, and the
  // clip is mixed into the blocks made after the first two are returned.
  const std::vector<uint32_t> playing = {1, 1, 0, 0};
  for (uint32_t expected : playing) {
    device.advance(1.0 / 60);
    EXPECT_EQ(speaker.playingSoundCount(), expected);
    EXPECT_EQ(device.queuedBlocks(), 10u);
  }
  for (int frame = 0; frame < 20; ++frame) device.advance(1.0 / 60);

  const std::vector<int16_t>& recording = device.recording();
  ASSERT_EQ(recording.size(), device.blocksPlayed() * kBlockSamples);
  ASSERT_GE(recording.size(), 13u * kBlockSamples);
  const size_t start = 10 * kBlockSamples;
  for (size_t i = 0; i < recording.size(); ++i) {
    const bool inClip = i >= start && i < start + 1400;
    ASSERT_EQ(recording[i], inClip ? clip.samples[i - start] : 0) << "at sample " << i;
  }
}

// Plays a fixed course of sounds over uneven frames; returns the recording.
std::vector<int16_t> playCourse(std::vector<uint32_t>& counts) {
  HeadlessWaveDevice device;
  SpeakerInterface speaker;
  EXPECT_EQ(speaker.openSpeaker(SpeakerConfig{}, &device), 0);
  SoundClip music = rampClip(speaker, 3000, -5000);
  SoundClip effect = rampClip(speaker, 900, 100);
  for (int frame = 0; frame < 240; ++frame) {
    if (frame == 3) speaker.playSound(&music, true);
    if (frame == 40 || frame == 41 || frame == 150) speaker.playSound(&effect, false);
    if (frame == 100) speaker.stopSound(&music);
    if (frame == 120) speaker.playSound(&music, true);
    counts.push_back(speaker.playingSoundCount());
    // A long frame now and then needs more than the ten queued buffers.
    device.advance(frame % 50 == 49 ? 0.3 : (frame % 7 == 0 ? 0.001 : 1.0 / 60));
  }
  speaker.closeSpeaker();
  return device.recording();
}

TEST(AudioHeadlessDevice, SameCourseGivesTheSameBytes) {
  std::vector<uint32_t> firstCounts, secondCounts;
  const auto first = playCourse(firstCounts);
  const auto second = playCourse(secondCounts);
  EXPECT_EQ(firstCounts, secondCounts);
  ASSERT_EQ(first.size(), second.size());
  EXPECT_TRUE(first == second);
  EXPECT_TRUE(std::any_of(first.begin(), first.end(), [](int16_t s) { return s != 0; }));
}

TEST(AudioHeadlessDevice, ConsumesExactlyTheBlocksTheTimeCovers) {
  HeadlessWaveDevice device(false, false);  // a long run, not recorded
  SpeakerInterface speaker;
  ASSERT_EQ(speaker.openSpeaker(SpeakerConfig{}, &device), 0);
  // 512 frames of 1/60 s are 376320 sample frames: exactly 735 blocks.
  for (int frame = 0; frame < 512; ++frame) device.advance(1.0 / 60);
  EXPECT_EQ(device.blocksPlayed(), 735u);
  for (int frame = 0; frame < 5488; ++frame) device.advance(1.0 / 60);
  EXPECT_EQ(device.blocksPlayed(), 6000u * 735u / 512u);
  // A frame longer than all ten queued buffers still gets all it covers.
  device.advance(1.0);
  EXPECT_EQ(device.blocksPlayed(), (6000u * 735u + 44100u) / 512u);
  EXPECT_TRUE(device.recording().empty());
}

TEST(AudioHeadlessDevice, RunsSilentWithoutAMixer) {
  // No sound device: nothing queued, nothing waited for.
  {
    HeadlessWaveDevice failing(true);
    SpeakerInterface speaker;
    testing::internal::CaptureStderr();
    EXPECT_EQ(speaker.openSpeaker(SpeakerConfig{}, &failing), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Speaker Interface error: cannot open specified wave device.\n");
    SoundClip clip = rampClip(speaker, 100, 1);
    speaker.playSound(&clip, false);
    for (int frame = 0; frame < 10; ++frame) failing.advance(1.0 / 60);
    EXPECT_TRUE(failing.recording().empty());
    EXPECT_EQ(speaker.playingSoundCount(), 1u);  // nothing ever mixes it
  }

  // A closed speaker: the device dropped what was queued and plays on in
  // silence, without waiting for a mixer that is gone.
  HeadlessWaveDevice device;
  SpeakerInterface speaker;
  ASSERT_EQ(speaker.openSpeaker(SpeakerConfig{}, &device), 0);
  device.advance(1.0 / 60);
  EXPECT_EQ(device.blocksPlayed(), 1u);
  speaker.closeSpeaker();
  EXPECT_EQ(device.queuedBlocks(), 0u);
  for (int frame = 0; frame < 100; ++frame) device.advance(1.0 / 60);
  EXPECT_EQ(device.blocksPlayed(), 1u);
  EXPECT_EQ(device.recording().size(), static_cast<size_t>(kBlockSamples));
}

}  // namespace
}  // namespace zt
