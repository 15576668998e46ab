#pragma once

#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

#include <map>

#include "audio/wave_device.h"

namespace zt {

// The mixer's wave device on Windows: WinMM's default output (WAVE_MAPPER),
// a WAVEHDR for each of the mixer's buffers, WOM_DONE reported through the
// done callback.
class WinmmWaveDevice : public WaveDevice {
 public:
  WinmmWaveDevice() = default;
  WinmmWaveDevice(const WinmmWaveDevice&) = delete;
  WinmmWaveDevice& operator=(const WinmmWaveDevice&) = delete;
  ~WinmmWaveDevice() override { close(); }

  bool open(const WaveFormat& format, DoneCallback done) override;
  // Unprepares the block's header if a block went out through it before,
  // prepares it for this one and writes it.
  void submit(const uint8_t* block, uint32_t bytes) override;
  // Stops the output, hands back every queued block and closes the device:
  // nothing of the system's sound threads is then left running while the
  // process ends.
  void close() override;
  bool isOpen() const { return handle_ != nullptr; }

 private:
  static void CALLBACK onWaveOut(HWAVEOUT device, UINT message, DWORD_PTR instance,
                                 DWORD_PTR param1, DWORD_PTR param2);

  HWAVEOUT handle_ = nullptr;
  DoneCallback done_;
  // One header per block of memory the mixer writes from, at a fixed
  // address from prepare until unprepare. The submitting thread's alone.
  std::map<const uint8_t*, WAVEHDR> headers_;
};

}  // namespace zt
