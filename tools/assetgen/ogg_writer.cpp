#include "ogg_writer.h"

#include <ogg/ogg.h>
#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>

namespace zt::assetgen {

namespace {

// Owns the encoder's state, released in reverse order on every path out.
struct Encoder {
  vorbis_info info;
  vorbis_comment comment;
  vorbis_dsp_state dsp;
  vorbis_block block;
  ogg_stream_state stream;
  bool infoReady = false, commentReady = false, dspReady = false, blockReady = false,
       streamReady = false;

  Encoder() {
    vorbis_info_init(&info);
    infoReady = true;
  }
  ~Encoder() {
    if (streamReady) ogg_stream_clear(&stream);
    if (blockReady) vorbis_block_clear(&block);
    if (dspReady) vorbis_dsp_clear(&dsp);
    if (commentReady) vorbis_comment_clear(&comment);
    if (infoReady) vorbis_info_clear(&info);
  }
};

bool writePage(FILE* file, const ogg_page& page) {
  return std::fwrite(page.header, 1, page.header_len, file) ==
             static_cast<size_t>(page.header_len) &&
         std::fwrite(page.body, 1, page.body_len, file) == static_cast<size_t>(page.body_len);
}

}  // namespace

bool writeOggVorbis(const std::string& path, const StereoBuffer& sound, int serial, float quality,
                    const std::string& title, std::string& error) {
  Encoder enc;
  if (vorbis_encode_init_vbr(&enc.info, 2, kSampleRate, quality) != 0) {
    error = "the Vorbis encoder refused its settings";
    return false;
  }
  vorbis_comment_init(&enc.comment);
  enc.commentReady = true;
  vorbis_comment_add_tag(&enc.comment, "TITLE", title.c_str());
  if (vorbis_analysis_init(&enc.dsp, &enc.info) != 0) {
    error = "the Vorbis encoder could not start";
    return false;
  }
  enc.dspReady = true;
  vorbis_block_init(&enc.dsp, &enc.block);
  enc.blockReady = true;
  ogg_stream_init(&enc.stream, serial);
  enc.streamReady = true;

  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = "cannot open " + path + " for writing";
    return false;
  }
  bool ok = true;

  ogg_packet header, commentHeader, codeHeader;
  vorbis_analysis_headerout(&enc.dsp, &enc.comment, &header, &commentHeader, &codeHeader);
  ogg_stream_packetin(&enc.stream, &header);
  ogg_stream_packetin(&enc.stream, &commentHeader);
  ogg_stream_packetin(&enc.stream, &codeHeader);
  ogg_page page;
  // The headers get pages of their own, so audio starts on a fresh page.
  while (ok && ogg_stream_flush(&enc.stream, &page)) ok = writePage(file, page);

  auto drain = [&]() {
    while (vorbis_analysis_blockout(&enc.dsp, &enc.block) == 1) {
      vorbis_analysis(&enc.block, nullptr);
      vorbis_bitrate_addblock(&enc.block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&enc.dsp, &packet)) {
        ogg_stream_packetin(&enc.stream, &packet);
        while (ok && ogg_stream_pageout(&enc.stream, &page)) ok = writePage(file, page);
      }
    }
  };

  constexpr size_t kChunk = 4096;
  for (size_t start = 0; ok && start < sound.frames(); start += kChunk) {
    const size_t n = std::min(kChunk, sound.frames() - start);
    float** buffer = vorbis_analysis_buffer(&enc.dsp, static_cast<int>(n));
    std::copy_n(sound.left.begin() + start, n, buffer[0]);
    std::copy_n(sound.right.begin() + start, n, buffer[1]);
    vorbis_analysis_wrote(&enc.dsp, static_cast<int>(n));
    drain();
  }
  // End of stream: the encoder flushes what it holds and marks the last page.
  vorbis_analysis_wrote(&enc.dsp, 0);
  drain();
  while (ok && ogg_stream_flush(&enc.stream, &page)) ok = writePage(file, page);

  ok = ok && std::fflush(file) == 0;
  ok = (std::fclose(file) == 0) && ok;
  if (!ok) error = "write error on " + path;
  return ok;
}

}  // namespace zt::assetgen
