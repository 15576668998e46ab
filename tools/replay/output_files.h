#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What the runner writes besides its trace: screenshots and the sound.
namespace zt {

// Writes RGBA bytes, top row first, as an 8-bit RGBA PNG. False on failure.
bool writeRgbaPng(const std::string& fileName, uint32_t width, uint32_t height,
                  const uint8_t* rgba);

// Writes interleaved samples as a 16-bit PCM WAV file. False when the file
// cannot be written.
bool writeWav(const std::string& path, const std::vector<int16_t>& samples, uint16_t channels,
              uint32_t samplesPerSecond);

}  // namespace zt
