#include "ogg_files.h"

#include <ogg/ogg.h>

#include <algorithm>
#include <cstdio>

namespace zt::test {

bool haveOggTools() {
  return runShell("command -v sox && command -v oggenc && command -v oggdec").status == 0;
}

bool makeOgg(const std::string& path, int rate, const std::vector<int>& tones, double seconds,
             int serial) {
  const std::string wav = path + ".wav";
  std::vector<std::string> sox = {
      "sox", "-q", "-n", "-r",    std::to_string(rate),   "-c", std::to_string(tones.size()),
      "-b",  "16", wav,  "synth", std::to_string(seconds)};
  for (int tone : tones) {
    sox.push_back(tone > 0 ? "sine" : "whitenoise");
    if (tone > 0) sox.push_back(std::to_string(tone));
  }
  const bool made =
      runProgram(sox).status == 0 &&
      runProgram({"oggenc", "-Q", "--serial", std::to_string(serial), "-o", path, wav}).status == 0;
  std::remove(wav.c_str());
  return made;
}

Bytes oggdecRaw(const std::string& path) {
  const std::string raw =
      runProgram({"oggdec", "-Q", "-R", "-b", "16", "-e", "0", "-s", "1", "-o", "-", path}).out;
  return Bytes(raw.begin(), raw.end());
}

bool setLastGranule(const std::string& in, const std::string& out, int64_t granule) {
  const Bytes bytes = readBytes(in);
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
  return writeFile(out, result);
}

}  // namespace zt::test
