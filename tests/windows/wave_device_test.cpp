// The WinMM wave device: blocks go out in order and come back through the
// done callback; without a sound server it refuses to open.
#include <windows.h>

#include <atomic>
#include <vector>

#include "check.h"
#include "platform/win32/winmm_wave_device.h"

namespace {

struct DoneLog {
  std::atomic<int> count{0};
  std::atomic<DWORD> thread{0};
};

zt::WaveDevice::DoneCallback countInto(DoneLog& log) {
  return [&log] {
    log.thread.store(GetCurrentThreadId());
    log.count.fetch_add(1);
  };
}

void waitForDone(const DoneLog& log, int count) {
  for (int waited = 0; waited < 3000 && log.count.load() < count; waited += 10) Sleep(10);
}

}  // namespace

TEST_CASE("the wave device plays submitted blocks and reports each one done") {
  DoneLog log;
  zt::WinmmWaveDevice device;
  const bool opened = device.open(zt::WaveFormat{}, countInto(log));
  if (!zt::test::soundExpected()) {
    CHECK(!opened);
    CHECK(!device.isOpen());
    device.close();  // harmless when it never opened
    CHECK_EQ(log.count.load(), 0);
    return;
  }
  CHECK(opened);
  if (!opened) return;
  DoneLog second;
  CHECK(!device.open(zt::WaveFormat{}, countInto(second)));  // one open per device
  CHECK(device.isOpen());

  constexpr int kBlocks = 4;
  std::vector<std::vector<uint8_t>> memory(kBlocks, std::vector<uint8_t>(2048, 0));
  for (const auto& block : memory) device.submit(block.data(), 2048);
  // Four blocks are 46 ms of sound; allow a slow start.
  waitForDone(log, kBlocks);
  CHECK_EQ(log.count.load(), kBlocks);
  CHECK(log.thread.load() != GetCurrentThreadId());
  // The mixer writes each block's memory again once it is done: the same
  // addresses go out a second time.
  for (const auto& block : memory) device.submit(block.data(), 2048);
  waitForDone(log, 2 * kBlocks);
  CHECK_EQ(log.count.load(), 2 * kBlocks);
  CHECK_EQ(second.count.load(), 0);

  // The end of the game: closed while blocks are still queued (a second of
  // sound). Nothing is reported after close returns, and the memory may go.
  std::vector<std::vector<uint8_t>> longer(kBlocks, std::vector<uint8_t>(44100, 0));
  for (const auto& block : longer) device.submit(block.data(), 44100);
  device.close();
  CHECK(!device.isOpen());
  const int atClose = log.count.load();
  longer.clear();
  Sleep(1200);
  CHECK_EQ(log.count.load(), atClose);
  device.close();  // a second close is harmless
  CHECK(!device.isOpen());
}
