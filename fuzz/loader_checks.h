#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zt::fuzz {

// Each check runs one file through a loader the way start-up does and then
// through what the game does next with the result. It returns an empty
// string when everything the loader promises held, or what did not. Memory
// errors, leaks and hangs are for the sanitizers and the fuzzer to see.

// loadPng, loadImage, then narrowing and recolouring of the Image.
std::string checkPngFile(const std::string& path);

// loadOggClip, loadSoundClips (one worker), then the clip played once and
// looping through the mixer until it is done or stopped.
std::string checkOggFile(const std::string& path);

// A file name of this process's own for the fuzzers' inputs (in /dev/shm
// when there is one), with the given ending.
std::string scratchPath(const std::string& ending);

// One fuzzer input: the bytes written to a scratch file with this ending
// (the loaders open files by name, as start-up does) and run through check.
// A failed check is printed on standard output and aborts, which the fuzzer
// reports as a finding. Returns 0, as libFuzzer wants.
int fuzzOneFile(const uint8_t* data, size_t size, const std::string& ending,
                std::string (*check)(const std::string&));

// Writes size bytes to path, replacing it; false on failure.
bool writeFile(const std::string& path, const uint8_t* data, size_t size);

}  // namespace zt::fuzz
