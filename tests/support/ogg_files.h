#pragma once

// Ogg Vorbis files made and taken apart for the tests: sox and oggenc make
// them, oggdec is the reference decoder, libogg edits their pages.

#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace zt::test {

// True when sox, oggenc and oggdec are on the PATH.
bool haveOggTools();

// Makes an Ogg Vorbis file with sox's synth: seconds of the given tones (one
// per channel, in Hz; 0 for white noise) at rate. serial fixes the stream's serial number so
// that two files can be chained.
bool makeOgg(const std::string& path, int rate, const std::vector<int>& tones, double seconds,
             int serial);

// What oggdec makes of the file as raw signed 16-bit little-endian samples.
Bytes oggdecRaw(const std::string& path);

// Rewrites the granule position of the file's last page (and its checksum),
// so that the stream announces a length it does not hold.
bool setLastGranule(const std::string& in, const std::string& out, int64_t granule);

}  // namespace zt::test
