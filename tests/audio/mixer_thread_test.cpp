#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "audio/speaker.h"
#include "doubles.h"
#include "test_support.h"

namespace zt {
namespace {

using namespace std::chrono_literals;

// Plays each submitted block for one period on its own thread, as a sound
// card's driver would, reading the samples before reporting it done. With
// returnsBuffers false it keeps every block and never reports one.
class ClockedDevice : public WaveDevice {
 public:
  explicit ClockedDevice(std::chrono::microseconds period, bool returnsBuffers = true)
      : period_(period), returnsBuffers_(returnsBuffers) {}
  ~ClockedDevice() override { close(); }

  bool open(const WaveFormat&, DoneCallback done) override {
    done_ = std::move(done);
    thread_ = std::thread([this] { run(); });
    return true;
  }
  void submit(const uint8_t* block, uint32_t bytes) override {
    std::lock_guard<std::mutex> lock(lock_);
    queue_.push_back({block, bytes});
    order_.push_back(block);
  }
  void close() override {
    stopping_ = true;
    if (thread_.joinable()) {
      thread_.join();
      ++closed_;
    }
    std::lock_guard<std::mutex> lock(lock_);
    queue_.clear();
  }

  size_t written() {
    std::lock_guard<std::mutex> lock(lock_);
    return order_.size();
  }
  std::vector<const uint8_t*> order() {
    std::lock_guard<std::mutex> lock(lock_);
    return order_;
  }
  int64_t played() const { return played_; }
  int closed() const { return closed_; }

 private:
  struct Block {
    const uint8_t* data;
    uint32_t bytes;
  };

  void run() {
    while (!stopping_) {
      std::this_thread::sleep_for(period_);
      if (!returnsBuffers_) continue;
      Block block{};
      {
        std::lock_guard<std::mutex> lock(lock_);
        if (queue_.empty()) continue;
        block = queue_.front();
        queue_.pop_front();
      }
      // Reading the block before handing it back is what a device does; a
      // mixer that refilled it early would race with this read.
      int64_t sum = 0;
      for (uint32_t i = 0; i < block.bytes; ++i) sum += block.data[i];
      checksum_ += sum;
      ++played_;
      done_();
    }
  }

  std::chrono::microseconds period_;
  bool returnsBuffers_;
  DoneCallback done_;
  std::mutex lock_;
  std::deque<Block> queue_;
  std::vector<const uint8_t*> order_;
  std::atomic<bool> stopping_{false};
  std::atomic<int64_t> played_{0};
  std::atomic<int> closed_{0};
  int64_t checksum_ = 0;
  std::thread thread_;
};

SoundClip toneClip(SpeakerInterface& speaker, uint32_t frames, int16_t value) {
  std::vector<int16_t> samples(frames * 2, value);
  SoundClip clip;
  speaker.createSoundClip(&clip, frames, 2, 44100, samples.data());
  return clip;
}

// Runs step on a thread of its own. A step still running after the limit
// is a stuck join: nothing can clean that up, so the process ends with a
// message rather than hanging the whole run.
void bounded(const char* what, const std::function<void()>& step) {
  std::atomic<bool> finished{false};
  std::thread runner([&] {
    step();
    finished = true;
  });
  if (!test::waitUntil([&] { return finished.load(); })) {
    std::fprintf(stderr, "%s did not return\n", what);
    std::_Exit(1);
  }
  runner.join();
}

// The threads of this process with the given name (Linux: /proc).
std::vector<std::string> threadsNamed(const std::string& name) {
  std::vector<std::string> ids;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string line;
    if (std::getline(comm, line) && line == name) ids.push_back(task.path().filename().string());
  }
  return ids;
}

// How often one thread of this process gave up the processor by waiting.
long voluntarySwitches(const std::string& tid) {
  std::ifstream in("/proc/self/task/" + tid + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) return std::stol(line.substr(24));
  }
  return -1;
}

// User plus system CPU time of one thread of this process, in clock ticks.
long cpuTicks(const std::string& tid) {
  const std::string stat = test::readFile("/proc/self/task/" + tid + "/stat");
  // The name may hold spaces; the fields after it do not. utime and stime
  // are the 12th and 13th fields after the name.
  std::istringstream fields(stat.substr(stat.rfind(')') + 1));
  std::string field;
  long ticks = 0;
  for (int i = 1; i <= 13 && fields >> field; ++i) {
    if (i >= 12) ticks += std::stol(field);
  }
  return ticks;
}

TEST(AudioMixerThread, MainThreadPlaysAndStopsWhileTheMixerRuns) {
  ClockedDevice device(500us);
  SpeakerInterface speaker;
  ASSERT_EQ(speaker.openSpeaker(SpeakerConfig{}, &device), 0);
  std::vector<const uint8_t*> buffers;
  for (int32_t i = 0; i < kWaveBufferCount; ++i) buffers.push_back(speaker.waveBuffer(i));
  std::vector<SoundClip> clips;
  clips.push_back(toneClip(speaker, 0, 0));
  clips.push_back(toneClip(speaker, 300, 1000));
  clips.push_back(toneClip(speaker, 700, -1000));
  clips.push_back(toneClip(speaker, 5000, 2000));

  // Counts, not a time: a slow machine only takes longer. The limit is for a
  // mixer that stopped playing.
  std::mt19937 random(7);
  const auto limit = std::chrono::steady_clock::now() + 60s;
  int operations = 0;
  while (operations < 5000 || device.played() < 500) {
    ASSERT_TRUE(std::chrono::steady_clock::now() < limit) << device.played() << " blocks played";
    SoundClip& clip = clips[random() % clips.size()];
    switch (random() % 4) {
      case 0:
      case 1:
        speaker.playSound(&clip, random() % 2 == 0);
        break;
      case 2:
        speaker.stopSound(&clip);
        break;
      default:
        // Looping sounds only go when stopped; keep the list short.
        if (speaker.playingSoundCount() > 40) {
          for (SoundClip& c : clips) speaker.stopSound(&c);
        }
    }
    ++operations;
    std::this_thread::sleep_for(50us);
  }
  for (SoundClip& clip : clips) speaker.stopSound(&clip);
  EXPECT_TRUE(test::waitUntil([&] { return speaker.playingSoundCount() == 0; }));
  speaker.closeSpeaker();
  EXPECT_EQ(device.closed(), 1);
  // Buffers go out in their fixed rotation, whatever the main thread did.
  const std::vector<const uint8_t*> order = device.order();
  for (size_t i = 0; i < order.size(); ++i) {
    ASSERT_EQ(order[i], buffers[i % 10]) << "block " << i;
  }
}

TEST(AudioMixerThread, EveryWayOutJoinsTheMixer) {
  // Never opened: nothing to wait for, twice over.
  {
    SpeakerInterface speaker;
    speaker.closeSpeaker();
    speaker.closeSpeaker();
  }

  // A device that stopped reporting blocks done, left by closeSpeaker and by
  // the destructor: the mixer is asleep, and must be woken to end.
  for (bool byDestructor : {false, true}) {
    SCOPED_TRACE(byDestructor ? "destructor" : "closeSpeaker");
    test::TestWaveDevice device;  // never hands a block back, like one that has stopped
    auto speaker = std::make_unique<SpeakerInterface>();
    ASSERT_EQ(speaker->openSpeaker(SpeakerConfig{}, &device), 0);
    // openSpeaker returns with the first ten blocks at the device.
    EXPECT_EQ(device.submits.load(), 10);
    EXPECT_EQ(speaker->inspect().freeBufferCount, 0);
    ASSERT_EQ(threadsNamed("mixer").size(), 1u);
    std::this_thread::sleep_for(20ms);
    bounded("leaving a stalled mixer", [&] {
      if (byDestructor) {
        speaker.reset();
      } else {
        speaker->closeSpeaker();
      }
    });
    EXPECT_TRUE(threadsNamed("mixer").empty());  // joined, not left behind
    EXPECT_EQ(device.closes.load(), 1);
    EXPECT_EQ(device.submits.load(), 10);
  }

  // Mixing, with sounds playing, left by closeSpeaker and then by the
  // destructor (which finds nothing left to do).
  {
    ClockedDevice device(200us);
    SpeakerInterface speaker;
    SoundClip music = toneClip(speaker, 3000, 500);
    speaker.playSound(&music, true);
    ASSERT_EQ(speaker.openSpeaker(SpeakerConfig{}, &device), 0);
    EXPECT_TRUE(test::waitUntil([&] { return device.written() > 30; }));
    bounded("closing a running mixer", [&] { speaker.closeSpeaker(); });
    const size_t written = device.written();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(device.written(), written);  // nothing after the join
    EXPECT_EQ(device.closed(), 1);
    speaker.closeSpeaker();
    EXPECT_EQ(device.closed(), 1);
  }

  // Destroyed straight after the start while blocks come back.
  {
    ClockedDevice device(1ms);
    {
      SpeakerInterface speaker;
      ASSERT_EQ(speaker.openSpeaker(SpeakerConfig{}, &device), 0);
      testing::internal::CaptureStderr();
      EXPECT_EQ(speaker.openSpeaker(SpeakerConfig{}, &device), -1);  // one mixer at a time
      testing::internal::GetCapturedStderr();
    }
    EXPECT_EQ(device.closed(), 1);
    EXPECT_TRUE(threadsNamed("mixer").empty());
  }
}

TEST(AudioMixerThread, SleepsWhileNoBufferIsFree) {
  test::TestWaveDevice device;  // stalled
  SpeakerInterface speaker;
  ASSERT_EQ(speaker.openSpeaker(SpeakerConfig{}, &device), 0);
  const std::vector<std::string> mixer = threadsNamed("mixer");
  ASSERT_EQ(mixer.size(), 1u);
  // All ten blocks are out and none comes back: a mixer that polls for a
  // free buffer burns a core here, or wakes again and again; one that waits
  // uses nothing. A tick or two, and a wake-up or two, allow for the last
  // pass and the scheduler's accounting.
  const long before = cpuTicks(mixer[0]);
  const long switchesBefore = voluntarySwitches(mixer[0]);
  std::this_thread::sleep_for(300ms);
  const long used = cpuTicks(mixer[0]) - before;
  EXPECT_LE(used, 2) << "clock ticks of CPU in 300 ms (" << sysconf(_SC_CLK_TCK) << " a second)";
  EXPECT_LE(voluntarySwitches(mixer[0]) - switchesBefore, 2) << "wake-ups in 300 ms";
  EXPECT_EQ(device.submits.load(), 10);
}

}  // namespace
}  // namespace zt
