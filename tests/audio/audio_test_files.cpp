#include "audio_test_files.h"

#include <ogg/ogg.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zt::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zt-audio-XXXXXX").string();
  if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

bool haveOggTools() {
  return std::system(
             "command -v sox >/dev/null && command -v oggenc >/dev/null && "
             "command -v oggdec >/dev/null") == 0;
}

bool makeOgg(const std::string& path, int rate, const std::vector<int>& tones, double seconds,
             int serial) {
  const std::string wav = path + ".wav";
  std::string command = "sox -q -n -r " + std::to_string(rate) + " -c " +
                        std::to_string(tones.size()) + " -b 16 '" + wav + "' synth " +
                        std::to_string(seconds);
  for (int tone : tones) command += tone > 0 ? " sine " + std::to_string(tone) : " whitenoise";
  command +=
      " && oggenc -Q --serial " + std::to_string(serial) + " -o '" + path + "' '" + wav + "'";
  const bool made = std::system(command.c_str()) == 0;
  std::remove(wav.c_str());
  return made;
}

std::vector<uint8_t> oggdecRaw(const std::string& path) {
  std::vector<uint8_t> out;
  const std::string command = "oggdec -Q -R -b 16 -e 0 -s 1 -o - '" + path + "' 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0)
    out.insert(out.end(), chunk, chunk + got);
  pclose(pipe);
  return out;
}

std::vector<uint8_t> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool setLastGranule(const std::string& in, const std::string& out, int64_t granule) {
  const std::vector<uint8_t> bytes = readBytes(in);
  ogg_sync_state sync;
  ogg_sync_init(&sync);
  char* buffer = ogg_sync_buffer(&sync, static_cast<long>(bytes.size()));
  std::copy(bytes.begin(), bytes.end(), buffer);
  ogg_sync_wrote(&sync, static_cast<long>(bytes.size()));

  std::vector<std::vector<uint8_t>> pages;
  ogg_page page;
  while (ogg_sync_pageout(&sync, &page) == 1) {
    std::vector<uint8_t> whole(page.header, page.header + page.header_len);
    whole.insert(whole.end(), page.body, page.body + page.body_len);
    pages.push_back(std::move(whole));
  }
  ogg_sync_clear(&sync);
  if (pages.empty()) return false;

  std::vector<uint8_t>& last = pages.back();
  for (int i = 0; i < 8; ++i)
    last[6 + i] = static_cast<uint8_t>(static_cast<uint64_t>(granule) >> (8 * i));
  ogg_page edited;
  edited.header = last.data();
  edited.header_len = 27 + last[26];
  edited.body = last.data() + edited.header_len;
  edited.body_len = static_cast<long>(last.size()) - edited.header_len;
  ogg_page_checksum_set(&edited);

  std::vector<uint8_t> result;
  for (const auto& p : pages) result.insert(result.end(), p.begin(), p.end());
  return writeBytes(out, result);
}

}  // namespace zt::test
