#include "platform/win32/winmm_wave_device.h"

#include <mmsystem.h>

static_assert(zt::WaveBuffer::kPrepared == WHDR_PREPARED, "the mixer tests this bit");

namespace zt {

bool WinmmWaveDevice::open(const WaveFormat& format, DoneCallback done, void* user) {
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
  done_ = done;
  user_ = user;
  HWAVEOUT handle = nullptr;
  const MMRESULT result = waveOutOpen(&handle, WAVE_MAPPER, &wave,
                                      reinterpret_cast<DWORD_PTR>(&WinmmWaveDevice::onWaveOut),
                                      reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
  if (result != MMSYSERR_NOERROR) return false;
  handle_ = handle;
  return true;
}

bool WinmmWaveDevice::close() {
  if (handle_ == nullptr) return false;
  // Reset hands back every queued buffer, which close would refuse.
  waveOutReset(handle_);
  const bool closed = waveOutClose(handle_) == MMSYSERR_NOERROR;
  handle_ = nullptr;
  return closed;
}

WAVEHDR& WinmmWaveDevice::headerOf(WaveBuffer& buffer) {
  // One header per mixer buffer for the life of the process; WinMM needs it
  // to stay at one address from prepare until unprepare.
  if (buffer.deviceData == nullptr) buffer.deviceData = new WAVEHDR{};
  return *static_cast<WAVEHDR*>(buffer.deviceData);
}

void WinmmWaveDevice::prepare(WaveBuffer& buffer) {
  WAVEHDR& header = headerOf(buffer);
  header.lpData = reinterpret_cast<LPSTR>(buffer.data);
  header.dwBufferLength = buffer.length;
  header.dwFlags = 0;
  waveOutPrepareHeader(handle_, &header, sizeof header);
  buffer.flags = header.dwFlags & WHDR_PREPARED;
}

void WinmmWaveDevice::write(WaveBuffer& buffer) {
  waveOutWrite(handle_, &headerOf(buffer), sizeof(WAVEHDR));
}

void WinmmWaveDevice::unprepare(WaveBuffer& buffer) {
  WAVEHDR& header = headerOf(buffer);
  waveOutUnprepareHeader(handle_, &header, sizeof header);
  buffer.flags = header.dwFlags & WHDR_PREPARED;
}

void CALLBACK WinmmWaveDevice::onWaveOut(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR,
                                         DWORD_PTR) {
  // Runs on WinMM's callback thread, where only the mixer's counter may be
  // touched (no other wave call from here).
  if (message != WOM_DONE) return;
  auto* device = reinterpret_cast<WinmmWaveDevice*>(instance);
  if (device->done_ != nullptr) device->done_(device->user_);
}

}  // namespace zt
