#include "platform/sdl/sdl_wave_device.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace zt {

namespace {

void SDLCALL audioCallback(void* userdata, Uint8* stream, int length) {
  static_cast<SdlWaveDevice*>(userdata)->fill(stream, length);
}

}  // namespace

bool SdlWaveDevice::open(const WaveFormat& format, DoneCallback done) {
  if (device_ != 0 || format.bitsPerSample != 16) return false;
  if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    ownsAudioSubsystem_ = true;
  }
  done_ = std::move(done);

  SDL_AudioSpec wanted;
  SDL_zero(wanted);
  wanted.freq = static_cast<int>(format.samplesPerSecond);
  wanted.format = AUDIO_S16LSB;
  wanted.channels = static_cast<Uint8>(format.channels);
  wanted.samples = 512;  // one mixer block per callback
  wanted.callback = audioCallback;
  wanted.userdata = this;
  SDL_AudioSpec obtained;
  // No allowed changes: SDL converts if the hardware wants something else.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device_ == 0) {
    if (ownsAudioSubsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    ownsAudioSubsystem_ = false;
    return false;
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlWaveDevice::submit(const uint8_t* block, uint32_t bytes) {
  std::lock_guard<std::mutex> lock(queueLock_);
  queue_.push_back(Block{block, bytes});
}

void SdlWaveDevice::fill(uint8_t* stream, int length) {
  size_t left = length > 0 ? static_cast<size_t>(length) : 0;
  int finished = 0;
  {
    std::lock_guard<std::mutex> lock(queueLock_);
    while (left > 0 && !queue_.empty()) {
      const Block& block = queue_.front();
      const size_t chunk = std::min<size_t>(left, block.bytes - frontOffset_);
      std::memcpy(stream, block.data + frontOffset_, chunk);
      stream += chunk;
      left -= chunk;
      frontOffset_ += static_cast<uint32_t>(chunk);
      if (frontOffset_ >= block.bytes) {
        queue_.pop_front();
        frontOffset_ = 0;
        ++finished;
      }
    }
  }
  std::memset(stream, 0, left);  // signed 16-bit silence
  // Reported outside the queue lock: the callback takes the mixer's count lock.
  for (int i = 0; i < finished; ++i) {
    if (done_) done_();
  }
}

void SdlWaveDevice::close() {
  if (device_ != 0) {
    SDL_CloseAudioDevice(device_);  // waits for a running callback to return
    device_ = 0;
  }
  {
    std::lock_guard<std::mutex> lock(queueLock_);
    queue_.clear();
    frontOffset_ = 0;
  }
  if (ownsAudioSubsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  ownsAudioSubsystem_ = false;
}

}  // namespace zt
