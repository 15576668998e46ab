#pragma once

#include <windows.h>

#include "audio/wave_device.h"

namespace zt {

// The mixer's wave device on Windows: WinMM's default output (WAVE_MAPPER),
// one WAVEHDR per mixer buffer, WOM_DONE reported through the done callback.
class WinmmWaveDevice : public WaveDevice {
 public:
  WinmmWaveDevice() = default;
  WinmmWaveDevice(const WinmmWaveDevice&) = delete;
  WinmmWaveDevice& operator=(const WinmmWaveDevice&) = delete;

  bool open(const WaveFormat& format, DoneCallback done, void* user) override;
  void prepare(WaveBuffer& buffer) override;
  void write(WaveBuffer& buffer) override;
  void unprepare(WaveBuffer& buffer) override;

  bool isOpen() const { return handle_ != nullptr; }
  // Stops the output and closes the device, once the mixer has stopped:
  // nothing of the system's sound threads is then left running while the
  // process ends. True when the device was open and is now closed.
  bool close();

 private:
  static void CALLBACK onWaveOut(HWAVEOUT device, UINT message, DWORD_PTR instance,
                                 DWORD_PTR param1, DWORD_PTR param2);
  static WAVEHDR& headerOf(WaveBuffer& buffer);

  HWAVEOUT handle_ = nullptr;
  DoneCallback done_ = nullptr;
  void* user_ = nullptr;
};

}  // namespace zt
