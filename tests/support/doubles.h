#pragma once

// Stand-ins for what a backend gives the game, for the tests, benchmarks
// and fuzzers: a wave device under the caller's hand, a platform without a
// window, and a display that only notes what it is asked to draw.

#include <atomic>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "app/message_queue.h"
#include "app/platform.h"
#include "audio/wave_device.h"
#include "core/screen.h"
#include "scene/display_interface.h"

namespace zt::test {

// A wave device that opens unless told not to, counts the blocks it is
// handed, and hands one back only when the caller says (handBack): left
// alone, it stalls once the mixer's first ten are out. With readsBlocks it
// reads every byte of each (a block shorter than it says is then a
// sanitizer's report); with keepBlocks it keeps each, for a test on one
// thread.
class TestWaveDevice : public WaveDevice {
 public:
  Mixing mixing() const override { return mixingBy; }
  bool open(const WaveFormat& f, DoneCallback callback) override {
    format = f;
    if (canOpen) done = std::move(callback);  // one that refused reports nothing
    return canOpen;
  }
  void submit(const uint8_t* block, uint32_t bytes) override {
    if (readsBlocks) {
      uint32_t sum = 0;
      for (uint32_t i = 0; i < bytes; ++i) sum = sum * 31 + block[i];
      checksum = sum;
    }
    if (keepBlocks) {
      submitted.push_back(block);
      sizes.push_back(bytes);
      const auto* samples = reinterpret_cast<const int16_t*>(block);
      blocks.emplace_back(samples, samples + bytes / 2);
    }
    ++submits;
  }
  void close() override { ++closes; }

  // The device's report of one block played.
  void handBack() {
    if (done) done();
  }

  Mixing mixingBy = Mixing::MixerThread;
  bool canOpen = true;
  bool readsBlocks = false;
  bool keepBlocks = false;
  WaveFormat format;
  DoneCallback done;  // the speaker's, once it has opened the device
  std::vector<const uint8_t*> submitted;
  std::vector<uint32_t> sizes;
  std::vector<std::vector<int16_t>> blocks;
  std::atomic<int> submits{0};
  std::atomic<int> closes{0};
  std::atomic<uint32_t> checksum{0};
};

// A platform without a window: the messages the caller posts, taken one
// step a frame as every backend's pump takes them; a counter of `frequency`
// ticks a second that the caller moves on, or that each shown frame moves
// on by ticksPerFrame; no About box; the device, unless withDevice is off.
class SteppedPlatform : public Platform {
 public:
  void post(const WindowMessage& message, bool withPrevious = false) {
    queue.post(message, withPrevious);
  }
  bool pumpOneMessage(std::vector<WindowMessage>& taken) override { return queue.takeStep(taken); }
  void showFrame() override {
    ticks += ticksPerFrame;
    if (onShowFrame) onShowFrame();
  }
  int64_t counter() override { return ticks; }
  double counterFrequency() override { return frequency; }
  void runAboutBox() override {}
  WaveDevice* waveDevice() override { return withDevice ? &device : nullptr; }

  double frequency = 60.0;
  int64_t ticks = 0;
  int64_t ticksPerFrame = 0;
  std::function<void()> onShowFrame;
  MessageQueue queue;
  TestWaveDevice device;
  bool withDevice = true;
};

// A display that draws nothing: it notes the pictures it is asked to draw,
// and where, so that code which draws can be tested without OpenGL.
class RecordingDisplay : public Renderer {
 public:
  struct Placed {
    const Image* image;
    int32_t x, y;
    bool operator==(const Placed& o) const { return image == o.image && x == o.x && y == o.y; }
  };

  RecordingDisplay() : Renderer(kViewCenter, kViewWidth, kViewHeight) {}

  int32_t initialize() override { return 0; }
  void drawImage(const Image* image, int32_t x, int32_t y) override {
    if (image) placed.push_back({image, x, y});
  }
  void clear() override {}
  void present() override {}
  void applyClearColor(const Color&) override {}

  std::vector<Placed> placed;
};

}  // namespace zt::test
