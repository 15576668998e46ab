#include "platform/sdl/sdl_wave_device.h"

#include <SDL.h>

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
  queue_.open(format.channels, std::move(done));
  frameBytes_ = format.channels * 2u;

  SDL_AudioSpec wanted;
  SDL_zero(wanted);
  wanted.freq = static_cast<int>(format.samplesPerSecond);
  wanted.format = AUDIO_S16LSB;
  wanted.channels = static_cast<Uint8>(format.channels);
  wanted.samples = kBlockFrames;  // one mixer block per callback
  wanted.callback = audioCallback;
  wanted.userdata = this;
  SDL_AudioSpec obtained;
  // No allowed changes: SDL converts if the hardware wants something else.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  if (device_ == 0) {
    queue_.close();
    if (ownsAudioSubsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    ownsAudioSubsystem_ = false;
    return false;
  }
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlWaveDevice::submit(const uint8_t* block, uint32_t bytes) {
  queue_.submit(block, bytes);
}

void SdlWaveDevice::fill(uint8_t* stream, int length) {
  const uint32_t bytes = length > 0 ? static_cast<uint32_t>(length) : 0;
  const uint32_t frames =
      queue_.read(bytes / frameBytes_, [&](const int16_t* samples, uint32_t count, uint32_t at) {
        std::memcpy(stream + at * frameBytes_, samples, count * frameBytes_);
      });
  std::memset(stream + frames * frameBytes_, 0, bytes - frames * frameBytes_);  // silence
}

void SdlWaveDevice::close() {
  if (device_ != 0) {
    SDL_CloseAudioDevice(device_);  // waits for a running callback to return
    device_ = 0;
  }
  queue_.close();
  if (ownsAudioSubsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
  ownsAudioSubsystem_ = false;
}

}  // namespace zt
