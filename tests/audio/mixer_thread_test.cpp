#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <random>
#include <thread>
#include <vector>

#include "audio/speaker.h"

namespace zt {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Plays each written buffer for one period on its own thread, as a sound
// card's driver would, reading the samples before reporting it done.
class ClockedDevice : public WaveDevice {
 public:
  explicit ClockedDevice(std::chrono::microseconds period, bool returnsBuffers = true)
      : period_(period), returnsBuffers_(returnsBuffers) {}
  ~ClockedDevice() override { stop(); }

  bool open(const WaveFormat&, DoneCallback done, void* user) override {
    done_ = done;
    user_ = user;
    thread_ = std::thread([this] { run(); });
    return true;
  }
  void prepare(WaveBuffer& buffer) override { buffer.flags |= WaveBuffer::kPrepared; }
  void unprepare(WaveBuffer& buffer) override { buffer.flags &= ~WaveBuffer::kPrepared; }
  void write(WaveBuffer& buffer) override {
    std::lock_guard<std::mutex> lock(lock_);
    queue_.push_back(&buffer);
    order_.push_back(static_cast<int>(&buffer - waveHeaders.data()));
  }

  void stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
  }
  size_t written() {
    std::lock_guard<std::mutex> lock(lock_);
    return order_.size();
  }
  std::vector<int> order() {
    std::lock_guard<std::mutex> lock(lock_);
    return order_;
  }
  int64_t played() const { return played_; }

 private:
  void run() {
    while (!stopping_) {
      std::this_thread::sleep_for(period_);
      if (!returnsBuffers_) continue;
      WaveBuffer* buffer = nullptr;
      {
        std::lock_guard<std::mutex> lock(lock_);
        if (queue_.empty()) continue;
        buffer = queue_.front();
        queue_.pop_front();
      }
      // Reading the buffer before handing it back is what a device does; a
      // mixer that refilled it early would race with this read.
      int64_t sum = 0;
      for (uint32_t i = 0; i < buffer->length; ++i) sum += buffer->data[i];
      checksum_ += sum;
      ++played_;
      done_(user_);
    }
  }

  std::chrono::microseconds period_;
  bool returnsBuffers_;
  DoneCallback done_ = nullptr;
  void* user_ = nullptr;
  std::mutex lock_;
  std::deque<WaveBuffer*> queue_;
  std::vector<int> order_;
  std::atomic<bool> stopping_{false};
  std::atomic<int64_t> played_{0};
  int64_t checksum_ = 0;
  std::thread thread_;
};

SoundClip toneClip(uint32_t frames, int16_t value) {
  std::vector<int16_t> samples(frames * 2, value);
  SoundClip clip;
  createSoundClip(&clip, frames, 2, 44100, samples.data());
  return clip;
}

template <typename Predicate>
bool waitFor(Predicate done, std::chrono::milliseconds limit) {
  const auto end = Clock::now() + limit;
  while (!done()) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class AudioMixerThread : public ::testing::Test {
 protected:
  void SetUp() override { resetSpeaker(); }
  void TearDown() override { resetSpeaker(); }
};

TEST_F(AudioMixerThread, MainThreadPlaysAndStopsWhileTheMixerRuns) {
  ClockedDevice device(500us);
  ASSERT_EQ(openSpeaker(SpeakerConfig{}, &device), 0);
  std::vector<SoundClip> clips;
  clips.push_back(toneClip(0, 0));
  clips.push_back(toneClip(300, 1000));
  clips.push_back(toneClip(700, -1000));
  clips.push_back(toneClip(5000, 2000));

  std::mt19937 random(7);
  const auto end = Clock::now() + 3s;
  int operations = 0;
  while (Clock::now() < end) {
    SoundClip& clip = clips[random() % clips.size()];
    switch (random() % 4) {
      case 0:
      case 1:
        playSound(&clip, random() % 2 == 0);
        break;
      case 2:
        stopSound(&clip);
        break;
      default:
        // Looping sounds only go when stopped; keep the list short.
        if (playingSoundCount() > 40) {
          for (SoundClip& c : clips) stopSound(&c);
        }
    }
    ++operations;
    std::this_thread::sleep_for(50us);
  }
  for (SoundClip& clip : clips) stopSound(&clip);
  EXPECT_TRUE(waitFor([] { return playingSoundCount() == 0; }, 2s));
  stopMixer();
  device.stop();

  EXPECT_GT(operations, 1000);
  EXPECT_GT(device.played(), 100);
  // Buffers go out in their fixed rotation, whatever the main thread did.
  const std::vector<int> order = device.order();
  for (size_t i = 0; i < order.size(); ++i) ASSERT_EQ(order[i], static_cast<int>(i % 10));
}

TEST_F(AudioMixerThread, StopMixerJoinsFromEveryState) {
  // Never started: nothing to wait for, twice over.
  stopMixer();
  stopMixer();
  resetSpeaker();

  // Every buffer at a device that never gives one back: the mixer spins.
  {
    ClockedDevice device(1ms, false);
    ASSERT_EQ(openSpeaker(SpeakerConfig{}, &device), 0);
    EXPECT_TRUE(waitFor([] { return freeBufferCount.load() == 0; }, 2s));
    const auto start = Clock::now();
    stopMixer();
    EXPECT_LT(Clock::now() - start, 1s);
    device.stop();
    EXPECT_EQ(device.written(), 10u);
    resetSpeaker();
  }

  // Mixing, with sounds playing.
  {
    ClockedDevice device(200us);
    SoundClip music = toneClip(3000, 500);
    playSound(&music, true);
    ASSERT_EQ(openSpeaker(SpeakerConfig{}, &device), 0);
    EXPECT_TRUE(waitFor([&] { return device.written() > 30; }, 2s));
    stopMixer();
    const size_t written = device.written();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(device.written(), written);  // nothing after the join
    stopMixer();
    device.stop();
    resetSpeaker();
  }

  // Stopped straight after the start, and opened again afterwards.
  {
    ClockedDevice device(1ms);
    ASSERT_EQ(openSpeaker(SpeakerConfig{}, &device), 0);
    stopMixer();
    device.stop();
    resetSpeaker();
    ClockedDevice again(1ms);
    ASSERT_EQ(openSpeaker(SpeakerConfig{}, &again), 0);
    EXPECT_TRUE(waitFor([&] { return again.written() >= 10; }, 2s));
    EXPECT_EQ(openSpeaker(SpeakerConfig{}, &again), -1);  // one mixer at a time
    stopMixer();
    again.stop();
  }
}

// Holds all ten buffers and never gives one back: the mixer only spins.
class HoardingDevice : public WaveDevice {
 public:
  bool open(const WaveFormat&, DoneCallback, void*) override { return true; }
  void prepare(WaveBuffer&) override {}
  void write(WaveBuffer&) override {}
  void unprepare(WaveBuffer&) override {}
};

TEST(AudioMixerExit, ProcessEndingWithTheMixerRunningStillExitsCleanly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        static HoardingDevice device;
        openSpeaker(SpeakerConfig{}, &device);
        std::this_thread::sleep_for(20ms);
        std::exit(3);  // no stopMixer: a running std::thread would abort here
      },
      ::testing::ExitedWithCode(3), "");
}

}  // namespace
}  // namespace zt
