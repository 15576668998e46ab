#pragma once

#include <string>

#include "synth.h"

namespace zt::assetgen {

// Encodes the sound as Ogg Vorbis (stereo, 44100 Hz, VBR at `quality`)
// with the given stream serial number, so equal input gives an equal file.
// Returns false and fills error when encoding or writing fails.
bool writeOggVorbis(const std::string& path, const StereoBuffer& sound, int serial, float quality,
                    const std::string& title, std::string& error);

}  // namespace zt::assetgen
