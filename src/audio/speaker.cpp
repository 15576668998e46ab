#include "audio/speaker.h"

#include <algorithm>
#include <cstdio>

#include "core/thread_name.h"

namespace zt {

namespace {

int16_t saturatingAdd(int32_t s, int32_t v) {
  if (v > 32767 - s) return 32767;
  if (v < -32768 - s) return -32768;
  return static_cast<int16_t>(s + v);
}

}  // namespace

SpeakerInterface::~SpeakerInterface() {
  closeSpeaker();
}

SoundClip* SpeakerInterface::createSoundClip(SoundClip* clip, uint32_t frameCount,
                                             int32_t channelCount, int32_t sampleRate,
                                             const int16_t* samples) {
  if (clip == nullptr) return nullptr;
  clip->id = nextClipId.take();
  clip->sampleRate = sampleRate;
  clip->channelCount = 2;
  if (samples == nullptr || channelCount <= 0) frameCount = 0;
  clip->frameCount = frameCount;
  clip->samples = std::make_unique<int16_t[]>(static_cast<size_t>(frameCount) * 2);
  int16_t* out = clip->samples.get();
  if (channelCount == 2) {
    std::copy(samples, samples + static_cast<size_t>(frameCount) * 2, out);
    return clip;
  }
  // Mono is heard on both sides; of more channels the first two are kept.
  const size_t stride = static_cast<size_t>(channelCount);
  const size_t second = channelCount == 1 ? 0 : 1;
  for (size_t frame = 0; frame < frameCount; ++frame) {
    out[frame * 2] = samples[frame * stride];
    out[frame * 2 + 1] = samples[frame * stride + second];
  }
  return clip;
}

int32_t SpeakerInterface::openDevice(const SpeakerConfig& config, WaveDevice* wave) {
  WaveFormat format;
  format.formatTag = 1;
  format.channels = static_cast<uint16_t>(config.channels & 0xFFFF);
  format.samplesPerSecond = static_cast<uint32_t>(config.sampleRate);
  format.blockAlign = static_cast<uint16_t>(format.channels * 2);
  format.averageBytesPerSecond = format.blockAlign * format.samplesPerSecond;
  format.bitsPerSample = 16;

  bool closed = false;
  {
    std::lock_guard<std::mutex> lock(bufferCountLock);
    closed = mixerStop;
  }
  // Opened once: a second device would orphan the first and its buffers,
  // and a closed speaker stays closed.
  if (device != nullptr || closed || wave == nullptr ||
      !wave->open(format, [this] { waveOutDone(); })) {
    std::fputs("Speaker Interface error: cannot open specified wave device.\n", stderr);
    return -1;
  }
  waveBufferMemory = std::make_unique<int16_t[]>(kWaveBufferCount * kBlockSamples);
  device = wave;
  return 0;
}

int32_t SpeakerInterface::openSpeaker(const SpeakerConfig& config, WaveDevice* wave) {
  const int32_t result = openDevice(config, wave);
  if (result != 0) return result;
  if (wave->mixing() == WaveDevice::Mixing::DrivenByDevice) {
    drivenByDevice = true;
    while (mixOneBlock()) {
    }
    return 0;
  }
  mixerThreadHandle = std::thread([this] { mixerThread(); });
  std::unique_lock<std::mutex> lock(bufferCountLock);
  buffersPrimed.wait(lock, [this] { return passesMixed >= kWaveBufferCount || mixerStop; });
  return 0;
}

void SpeakerInterface::playSound(SoundClip* clip, bool loop) {
  if (clip == nullptr) return;
  PlayingSound sound;
  sound.clip = clip;
  sound.loop = loop;
  // The mixer reads two samples per frame; never let it past the samples a
  // hand-made clip really holds.
  const uint64_t stereoFrames = clip->samples
                                    ? static_cast<uint64_t>(clip->frameCount) *
                                          static_cast<uint64_t>(std::max(clip->channelCount, 0)) / 2
                                    : 0;
  sound.length = static_cast<uint32_t>(std::min<uint64_t>(stereoFrames, clip->frameCount));
  sound.position = 0;
  std::lock_guard<std::mutex> lock(playingListLock);
  playingSounds.push_back(sound);
  playingCount.store(static_cast<uint32_t>(playingSounds.size()));
}

void SpeakerInterface::stopSound(SoundClip* clip) {
  if (clip == nullptr) return;
  std::lock_guard<std::mutex> lock(playingListLock);
  for (PlayingSound& sound : playingSounds) {
    if (sound.clip->id != clip->id) continue;
    // Queued once is enough; without a running mixer the queue would
    // otherwise grow with every call.
    if (std::find(pendingRemovals.begin(), pendingRemovals.end(), &sound) ==
        pendingRemovals.end()) {
      pendingRemovals.push_back(&sound);
    }
  }
}

bool SpeakerInterface::mixOneBlock() {
  {
    std::lock_guard<std::mutex> lock(bufferCountLock);
    if (freeBufferCount <= 0 || device == nullptr) return false;
  }

  // Mixed where the device will read it: buffers come back in the order
  // they went out, so the next one in the rotation is free whenever any is.
  int16_t* block = waveBufferMemory.get() + nextHeaderIndex * kBlockSamples;
  std::fill(block, block + kBlockSamples, int16_t{0});
  std::lock_guard<std::mutex> lock(playingListLock);
  for (PlayingSound& sound : playingSounds) {
    if (sound.position >= sound.length) {
      pendingRemovals.push_back(&sound);
      continue;
    }
    const uint64_t clipSamples = static_cast<uint64_t>(sound.length) * 2;
    const uint64_t left = clipSamples - static_cast<uint64_t>(sound.position) * 2;
    const uint32_t n =
        sound.loop ? kBlockSamples : static_cast<uint32_t>(std::min<uint64_t>(kBlockSamples, left));
    const int16_t* samples = sound.clip->samples.get();
    uint64_t index = static_cast<uint64_t>(sound.position) * 2;
    // In stretches up to the clip's end, where a looping clip wraps (several
    // times in one block when it is short); straight runs vectorise.
    for (uint32_t i = 0; i < n;) {
      const uint32_t run = static_cast<uint32_t>(std::min<uint64_t>(n - i, clipSamples - index));
      const int16_t* from = samples + index;
      int16_t* to = block + i;
      for (uint32_t k = 0; k < run; ++k) to[k] = saturatingAdd(to[k], from[k]);
      i += run;
      index += run;
      if (index == clipSamples) index = 0;
    }
    uint64_t position = static_cast<uint64_t>(sound.position) + n / 2;
    if (sound.loop) position %= sound.length;
    sound.position = static_cast<uint32_t>(position);
  }

  // An entry queued twice (stopped and ended in one pass) goes once. The
  // removals come before the block leaves: whoever sees the block arrive
  // (a device playing in virtual time) then also sees the list it left.
  playingSounds.remove_if([this](const PlayingSound& sound) {
    return std::find(pendingRemovals.begin(), pendingRemovals.end(), &sound) !=
           pendingRemovals.end();
  });
  pendingRemovals.clear();
  playingCount.store(static_cast<uint32_t>(playingSounds.size()));

  submitWaveBuffer();
  return true;
}

void SpeakerInterface::submitWaveBuffer() {
  const int16_t* block = waveBufferMemory.get() + nextHeaderIndex * kBlockSamples;
  device->submit(reinterpret_cast<const uint8_t*>(block), kBlockBytes);
  {
    std::lock_guard<std::mutex> lock(bufferCountLock);
    --freeBufferCount;
  }
  nextHeaderIndex = (nextHeaderIndex + 1) % kWaveBufferCount;
}

void SpeakerInterface::waveOutDone() {
  {
    std::lock_guard<std::mutex> lock(bufferCountLock);
    ++freeBufferCount;
  }
  if (drivenByDevice) {
    mixOneBlock();
  } else {
    bufferFreed.notify_one();
  }
}

void SpeakerInterface::mixerThread() {
  nameThisThread("mixer");
  for (;;) {
    {
      // Asleep until the device hands a buffer back or the owner says stop.
      std::unique_lock<std::mutex> lock(bufferCountLock);
      bufferFreed.wait(lock, [this] { return freeBufferCount > 0 || mixerStop; });
      if (mixerStop) return;
    }
    mixOneBlock();
    std::lock_guard<std::mutex> lock(bufferCountLock);
    if (passesMixed < kWaveBufferCount && ++passesMixed == kWaveBufferCount) {
      buffersPrimed.notify_all();
    }
  }
}

void SpeakerInterface::closeSpeaker() {
  {
    std::lock_guard<std::mutex> lock(bufferCountLock);
    mixerStop = true;
  }
  bufferFreed.notify_all();
  buffersPrimed.notify_all();
  if (mixerThreadHandle.joinable()) mixerThreadHandle.join();
  if (device != nullptr) device->close();
  device = nullptr;
}

SpeakerInterface::Inspection SpeakerInterface::inspect() const {
  Inspection state;
  std::lock_guard<std::mutex> lock(playingListLock);
  state.playingSounds.assign(playingSounds.begin(), playingSounds.end());
  state.pendingRemovals = pendingRemovals.size();
  state.nextHeaderIndex = nextHeaderIndex;
  std::lock_guard<std::mutex> countLock(bufferCountLock);
  state.freeBufferCount = freeBufferCount;
  return state;
}

const uint8_t* SpeakerInterface::waveBuffer(int32_t index) const {
  if (!waveBufferMemory || index < 0 || index >= kWaveBufferCount) return nullptr;
  return reinterpret_cast<const uint8_t*>(waveBufferMemory.get() + index * kBlockSamples);
}

}  // namespace zt
