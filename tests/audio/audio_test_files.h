#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zt::test {

// A directory under the system's temporary directory, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// True when sox, oggenc and oggdec are on the PATH.
bool haveOggTools();

// Makes an Ogg Vorbis file with sox's synth: seconds of the given tones (one
// per channel, in Hz; 0 for white noise) at rate. serial fixes the stream's serial number so
// that two files can be chained.
bool makeOgg(const std::string& path, int rate, const std::vector<int>& tones, double seconds,
             int serial);

// What oggdec makes of the file as raw signed 16-bit little-endian samples.
std::vector<uint8_t> oggdecRaw(const std::string& path);

std::vector<uint8_t> readBytes(const std::string& path);
bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Rewrites the granule position of the file's last page (and its checksum),
// so that the stream announces a length it does not hold.
bool setLastGranule(const std::string& in, const std::string& out, int64_t granule);

}  // namespace zt::test
