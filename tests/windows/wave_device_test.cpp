// The WinMM wave device: buffers go out in order and come back through the
// done callback; without a sound server it refuses to open.
#include <windows.h>

#include <atomic>
#include <vector>

#include "check.h"
#include "platform/win32/winmm_wave_device.h"

namespace {

std::atomic<int> doneCount{0};
std::atomic<DWORD> doneThread{0};

void onDone(void* user) {
  doneThread.store(GetCurrentThreadId());
  static_cast<std::atomic<int>*>(user)->fetch_add(1);
}

}  // namespace

TEST_CASE("the wave device plays written buffers and reports each one done") {
  zt::WinmmWaveDevice device;
  const bool opened = device.open(zt::WaveFormat{}, onDone, &doneCount);
  if (!zt::check::soundExpected()) {
    CHECK(!opened);
    return;
  }
  CHECK(opened);
  if (!opened) return;
  CHECK(!device.open(zt::WaveFormat{}, onDone, &doneCount));  // one open per device

  constexpr int kBuffers = 4;
  std::vector<std::vector<uint8_t>> memory(kBuffers, std::vector<uint8_t>(2048, 0));
  zt::WaveBuffer buffers[kBuffers];
  for (int i = 0; i < kBuffers; ++i) {
    buffers[i].data = memory[i].data();
    buffers[i].length = 2048;
    device.prepare(buffers[i]);
    CHECK(buffers[i].flags & zt::WaveBuffer::kPrepared);
    device.write(buffers[i]);
  }
  // Four blocks are 46 ms of sound; allow a slow start.
  for (int waited = 0; waited < 3000 && doneCount.load() < kBuffers; waited += 10) Sleep(10);
  CHECK_EQ(doneCount.load(), kBuffers);
  CHECK(doneThread.load() != GetCurrentThreadId());
  for (auto& buffer : buffers) {
    device.unprepare(buffer);
    CHECK_EQ(buffer.flags & zt::WaveBuffer::kPrepared, 0u);
    // The mixer prepares each buffer again for its next block.
    device.prepare(buffer);
    CHECK(buffer.flags & zt::WaveBuffer::kPrepared);
    device.unprepare(buffer);
  }

  // The end of the game: closed while buffers are still queued.
  for (auto& buffer : buffers) {
    device.prepare(buffer);
    device.write(buffer);
  }
  CHECK(device.close());
  CHECK(!device.isOpen());
  CHECK(!device.close());
}
