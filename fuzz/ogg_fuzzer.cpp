// libFuzzer target: bytes as a sound file, through loadOggClip,
// loadSoundClips and the mixer.
#include "loader_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zt::fuzz::fuzzOneFile(data, size, ".ogg", zt::fuzz::checkOggFile);
}
