#include "audio/speaker.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

namespace zt {

std::list<PlayingSound> playingSounds;
std::vector<PlayingSound*> pendingRemovals;
std::mutex playingListLock;

std::atomic<int32_t> freeBufferCount{kWaveBufferCount};
std::mutex bufferCountLock;

std::atomic<bool> mixerStop{false};

std::array<WaveBuffer, kWaveBufferCount> waveHeaders;
int32_t nextHeaderIndex = 0;

namespace {

std::atomic<int32_t> nextClipId{0};

// Kept beside the list so that the game-over mode can poll it without the lock.
std::atomic<uint32_t> playingCount{0};

WaveDevice* speakerDevice = nullptr;
std::unique_ptr<uint8_t[]> waveBufferMemory;

std::thread mixerThreadHandle;
std::atomic<bool> mixerRunning{false};

// Defined after the thread handle, so destroyed before it and before the
// lists: a process that ends without stopping the mixer still joins it
// instead of aborting in std::thread's destructor or mixing freed lists.
struct MixerExitGuard {
  ~MixerExitGuard() { stopMixer(); }
} mixerExitGuard;

void updatePlayingCount() {
  playingCount.store(static_cast<uint32_t>(playingSounds.size()));
}

int16_t saturatingAdd(int32_t s, int32_t v) {
  if (v > 32767 - s) return 32767;
  if (v < -32768 - s) return -32768;
  return static_cast<int16_t>(s + v);
}

}  // namespace

SoundClip* createSoundClip(SoundClip* clip, uint32_t frameCount, int32_t channelCount,
                           int32_t sampleRate, const int16_t* samples) {
  if (clip == nullptr) return nullptr;
  clip->id = nextClipId.fetch_add(1);
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

int32_t openSpeakerDevice(const SpeakerConfig& config, WaveDevice* device) {
  WaveFormat format;
  format.formatTag = 1;
  format.channels = static_cast<uint16_t>(config.channels & 0xFFFF);
  format.samplesPerSecond = static_cast<uint32_t>(config.sampleRate);
  format.blockAlign = static_cast<uint16_t>(format.channels * 2);
  format.averageBytesPerSecond = format.blockAlign * format.samplesPerSecond;
  format.bitsPerSample = 16;

  if (device == nullptr || !device->open(format, waveOutDone, nullptr)) {
    std::fputs("Speaker Interface error: cannot open specified wave device.\n", stderr);
    return -1;
  }
  waveBufferMemory = std::make_unique<uint8_t[]>(kWaveBufferCount * kBlockBytes);
  for (int32_t i = 0; i < kWaveBufferCount; ++i) {
    waveHeaders[i] = WaveBuffer{};
    waveHeaders[i].data = waveBufferMemory.get() + i * kBlockBytes;
    waveHeaders[i].length = kBlockBytes;
  }
  speakerDevice = device;
  return 0;
}

int32_t openSpeaker(const SpeakerConfig& config, WaveDevice* device) {
  // Opened once per run; a second call must not orphan the running thread.
  if (mixerThreadHandle.joinable()) return -1;
  const int32_t result = openSpeakerDevice(config, device);
  if (result != 0) return result;
  mixerRunning.store(true);
  mixerThreadHandle = std::thread(mixerThread);
  device->mixerStarted();
  return 0;
}

void playSound(SoundClip* clip, bool loop) {
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
  updatePlayingCount();
}

void stopSound(SoundClip* clip) {
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

uint32_t playingSoundCount() {
  return playingCount.load();
}

bool mixOneBlock() {
  if (freeBufferCount.load() <= 0 || speakerDevice == nullptr) return false;

  std::array<int16_t, kBlockSamples> block{};
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
      int16_t* to = block.data() + i;
      for (uint32_t k = 0; k < run; ++k) to[k] = saturatingAdd(to[k], from[k]);
      i += run;
      index += run;
      if (index == clipSamples) index = 0;
    }
    uint64_t position = static_cast<uint64_t>(sound.position) + n / 2;
    if (sound.loop) position %= sound.length;
    sound.position = static_cast<uint32_t>(position);
  }

  submitWaveBuffer(block.data());

  // An entry queued twice (stopped and ended in one pass) goes once.
  playingSounds.remove_if([](const PlayingSound& sound) {
    return std::find(pendingRemovals.begin(), pendingRemovals.end(), &sound) !=
           pendingRemovals.end();
  });
  pendingRemovals.clear();
  updatePlayingCount();
  return true;
}

int32_t submitWaveBuffer(const int16_t* block) {
  WaveBuffer& header = waveHeaders[nextHeaderIndex];
  if (header.flags & WaveBuffer::kPrepared) speakerDevice->unprepare(header);
  std::memcpy(header.data, block, kBlockBytes);
  header.length = kBlockBytes;
  speakerDevice->prepare(header);
  speakerDevice->write(header);
  {
    std::lock_guard<std::mutex> lock(bufferCountLock);
    freeBufferCount.fetch_sub(1);
  }
  nextHeaderIndex = (nextHeaderIndex + 1) % kWaveBufferCount;
  return 0;
}

void waveOutDone(void* /*user*/) {
  std::lock_guard<std::mutex> lock(bufferCountLock);
  freeBufferCount.fetch_add(1);
}

int32_t mixerThread() {
  while (!mixerStop.load()) {
    // Spin politely: the device frees a buffer every 11.6 ms.
    if (!mixOneBlock()) std::this_thread::yield();
  }
  return 0;
}

void stopMixer() {
  mixerStop.store(true);
  if (mixerThreadHandle.joinable()) mixerThreadHandle.join();
  mixerRunning.store(false);
}

void waitForMixerIdle() {
  if (!mixerRunning.load()) return;
  while (freeBufferCount.load() > 0 && !mixerStop.load()) std::this_thread::yield();
  // The mixer holds the list lock for its whole pass, removals included.
  std::lock_guard<std::mutex> lock(playingListLock);
}

void resetSpeaker() {
  stopMixer();
  {
    std::lock_guard<std::mutex> lock(playingListLock);
    playingSounds.clear();
    pendingRemovals.clear();
    updatePlayingCount();
  }
  {
    std::lock_guard<std::mutex> lock(bufferCountLock);
    freeBufferCount.store(kWaveBufferCount);
  }
  waveHeaders = {};
  nextHeaderIndex = 0;
  waveBufferMemory.reset();
  speakerDevice = nullptr;
  mixerStop.store(false);
}

}  // namespace zt
