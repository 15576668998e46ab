#include "platform/win32/winmm_wave_device.h"

#include <utility>

namespace zt {

bool WinmmWaveDevice::open(const WaveFormat& format, DoneCallback done) {
  if (handle_ != nullptr) return false;
  WAVEFORMATEX wave = {};
  wave.wFormatTag = format.formatTag;
  wave.nChannels = format.channels;
  wave.nSamplesPerSec = format.samplesPerSecond;
  wave.nAvgBytesPerSec = format.averageBytesPerSecond;
  wave.nBlockAlign = format.blockAlign;
  wave.wBitsPerSample = format.bitsPerSample;
  wave.cbSize = 0;
  // Set before opening: the device may report its first message at once.
  done_ = std::move(done);
  HWAVEOUT handle = nullptr;
  const MMRESULT result = waveOutOpen(&handle, WAVE_MAPPER, &wave,
                                      reinterpret_cast<DWORD_PTR>(&WinmmWaveDevice::onWaveOut),
                                      reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
  if (result != MMSYSERR_NOERROR) return false;
  handle_ = handle;
  return true;
}

void WinmmWaveDevice::submit(const uint8_t* block, uint32_t bytes) {
  WAVEHDR& header = headers_[block];
  // Blocks come back in the order written, so this header's last block has
  // been played by the time the mixer fills its memory again.
  if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(handle_, &header, sizeof header);
  header = WAVEHDR{};
  header.lpData = reinterpret_cast<LPSTR>(const_cast<uint8_t*>(block));
  header.dwBufferLength = bytes;
  // Results unchecked: a failed write is a block not heard, nothing more.
  waveOutPrepareHeader(handle_, &header, sizeof header);
  waveOutWrite(handle_, &header, sizeof header);
}

void WinmmWaveDevice::close() {
  if (handle_ == nullptr) return;
  // Reset hands back every queued block, which close would refuse.
  waveOutReset(handle_);
  for (auto& [block, header] : headers_) {
    if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(handle_, &header, sizeof header);
  }
  headers_.clear();
  waveOutClose(handle_);
  handle_ = nullptr;
}

void CALLBACK WinmmWaveDevice::onWaveOut(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR,
                                         DWORD_PTR) {
  // Runs on WinMM's callback thread, where only the mixer's count may be
  // touched (no other wave call from here).
  if (message != WOM_DONE) return;
  auto* device = reinterpret_cast<WinmmWaveDevice*>(instance);
  if (device->done_) device->done_();
}

}  // namespace zt
