#include "audio/ogg_clip.h"

#include <gtest/gtest.h>
#include <vorbis/codec.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "audio/speaker.h"
#include "ogg_files.h"

namespace zt {
namespace {

using test::oggdecRaw;
using test::readBytes;

std::vector<uint8_t> asBytes(const int16_t* samples, size_t count) {
  std::vector<uint8_t> bytes(count * 2);
  std::memcpy(bytes.data(), samples, bytes.size());
  return bytes;
}

// The files every decoder test works on, made once with sox and oggenc.
class AudioOggClip : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!test::haveOggTools()) return;
    dir = new test::TempDir;
    const auto& d = *dir;
    ready = test::makeOgg(d.file("stereo.ogg"), 44100, {440, 660}, 1.5, 1) &&
            test::makeOgg(d.file("mono.ogg"), 44100, {523}, 0.7, 2) &&
            test::makeOgg(d.file("low_rate.ogg"), 22050, {300, 500}, 0.5, 3) &&
            test::makeOgg(d.file("three.ogg"), 44100, {200, 400, 800}, 0.3, 4) &&
            test::makeOgg(d.file("second_link.ogg"), 44100, {880, 990}, 0.4, 5) &&
            test::makeOgg(d.file("noise.ogg"), 44100, {0, 0}, 2.0, 6);
    if (ready) {
      auto chain = readBytes(d.file("stereo.ogg"));
      const auto second = readBytes(d.file("second_link.ogg"));
      chain.insert(chain.end(), second.begin(), second.end());
      ready = test::writeFile(d.file("chained.ogg"), chain);
    }
  }
  static void TearDownTestSuite() {
    delete dir;
    dir = nullptr;
  }
  void SetUp() override {
    if (!ready) GTEST_SKIP() << "sox, oggenc or oggdec missing";
  }
  static std::string file(const std::string& name) { return dir->file(name); }

  static inline test::TempDir* dir = nullptr;
  static inline bool ready = false;
};

TEST_F(AudioOggClip, DecodesExactlyWhatOggdecDoes) {
  struct Case {
    const char* name;
    int32_t rate;
    int32_t channels;
  };
  for (const Case& c :
       {Case{"stereo.ogg", 44100, 2}, Case{"mono.ogg", 44100, 1}, Case{"low_rate.ogg", 22050, 2},
        Case{"three.ogg", 44100, 3}, Case{"chained.ogg", 44100, 2}}) {
    SCOPED_TRACE(c.name);
    ClipFormat format;
    testing::internal::CaptureStderr();
    auto samples = loadOggClip(format, file(c.name));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(samples, nullptr);
    EXPECT_EQ(format.sampleRate, c.rate);
    EXPECT_EQ(format.channelCount, c.channels);
    const auto expected = oggdecRaw(file(c.name));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(static_cast<size_t>(format.frameCount) * c.channels * 2, expected.size());
    EXPECT_EQ(asBytes(samples.get(), static_cast<size_t>(format.frameCount) * c.channels),
              expected);
  }
  // The chain holds both links, one after the other.
  ClipFormat first, chained;
  loadOggClip(first, file("stereo.ogg"));
  loadOggClip(chained, file("chained.ogg"));
  EXPECT_GT(chained.frameCount, first.frameCount + 44100 / 3);
}

TEST_F(AudioOggClip, GameClipsDecodeLikeOggdec) {
  const std::filesystem::path resources = std::filesystem::path(test::buildDir()) / "resources";
  int checked = 0;
  for (const char* name : {"painting_with_gasoline.ogg", "intention_ignited.ogg", "death.ogg",
                           "accept.ogg", "gameover.ogg"}) {
    const std::string path = (resources / name).string();
    if (!std::filesystem::exists(path)) continue;
    SCOPED_TRACE(name);
    ClipFormat format;
    auto samples = loadOggClip(format, path);
    ASSERT_NE(samples, nullptr);
    EXPECT_EQ(format.sampleRate, 44100);
    EXPECT_EQ(format.channelCount, 2);
    EXPECT_EQ(asBytes(samples.get(), static_cast<size_t>(format.frameCount) * 2), oggdecRaw(path));
    ++checked;
  }
  if (checked == 0) GTEST_SKIP() << "the game's clips are not generated yet";
}

TEST_F(AudioOggClip, UnreadableFilesReportAndLeaveNoFormat) {
  ASSERT_TRUE(test::writeFile(file("garbage.ogg"), std::vector<uint8_t>(5000, 0x5a)));
  for (const char* name : {"missing.ogg", "garbage.ogg"}) {
    SCOPED_TRACE(name);
    ClipFormat format{123, 44100, 2};
    testing::internal::CaptureStderr();
    EXPECT_EQ(loadOggClip(format, file(name)), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: bad Ogg Vorbis file\n");
    EXPECT_EQ(format.frameCount, 0);
    EXPECT_EQ(format.channelCount, 0);
  }
}

TEST_F(AudioOggClip, TruncatedFileDecodesWhatItHolds) {
  auto bytes = readBytes(file("noise.ogg"));
  bytes.resize(bytes.size() / 2);
  ASSERT_TRUE(test::writeFile(file("truncated.ogg"), bytes));
  ClipFormat full, cut;
  loadOggClip(full, file("noise.ogg"));
  testing::internal::CaptureStderr();
  auto samples = loadOggClip(cut, file("truncated.ogg"));
  testing::internal::GetCapturedStderr();
  ASSERT_NE(samples, nullptr);
  EXPECT_GT(cut.frameCount, 0);
  EXPECT_LT(cut.frameCount, full.frameCount);
  const auto expected = oggdecRaw(file("truncated.ogg"));
  const auto got = asBytes(samples.get(), static_cast<size_t>(cut.frameCount) * 2);
  ASSERT_LE(got.size(), expected.size());
  EXPECT_TRUE(std::equal(got.begin(), got.end(), expected.begin()));
}

TEST_F(AudioOggClip, StreamShorterThanAnnouncedEndsInSilence) {
  const int64_t realFrames = static_cast<int64_t>(oggdecRaw(file("stereo.ogg")).size() / 4);
  ASSERT_TRUE(test::setLastGranule(file("stereo.ogg"), file("long.ogg"), realFrames + 20000));
  ClipFormat format;
  auto samples = loadOggClip(format, file("long.ogg"));
  ASSERT_NE(samples, nullptr);
  ASSERT_EQ(format.frameCount, realFrames + 20000);
  // What the stream holds, then zeros up to the announced length.
  const auto delivered = oggdecRaw(file("long.ogg"));
  const auto got = asBytes(samples.get(), static_cast<size_t>(format.frameCount) * 2);
  ASSERT_LT(delivered.size(), got.size());
  EXPECT_TRUE(std::equal(delivered.begin(), delivered.end(), got.begin()));
  EXPECT_TRUE(std::all_of(got.begin() + static_cast<long>(delivered.size()), got.end(),
                          [](uint8_t b) { return b == 0; }));
}

TEST_F(AudioOggClip, AbsurdLengthIsRefusedAndBecomesAnEmptyClip) {
  ASSERT_TRUE(test::setLastGranule(file("stereo.ogg"), file("huge.ogg"), int64_t{1} << 33));
  ClipFormat format;
  testing::internal::CaptureStderr();
  EXPECT_EQ(loadOggClip(format, file("huge.ogg")), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Ogg Vorbis file too long\n");

  // Just past the byte limit, though the frame count fits in 32 bits.
  const int64_t frames = static_cast<int64_t>(kMaxClipBytes / 4) + 1;
  ASSERT_TRUE(test::setLastGranule(file("stereo.ogg"), file("big.ogg"), frames));
  SpeakerInterface speaker;
  testing::internal::CaptureStderr();
  const auto clips = loadSoundClips(speaker, {file("big.ogg")});
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Ogg Vorbis file too long\n");
  ASSERT_EQ(clips.size(), 1u);
  EXPECT_EQ(clips[0]->frameCount, 0u);
}

TEST(AudioOggReadLoop, OnlyHolesAreReadPastAndThoseOnlySoOften) {
  // What each read returns in turn, then the end of the stream. The n-th
  // delivery of bytes is that many copies of the n-th letter.
  struct Case {
    const char* name;
    std::vector<long> results;
    std::string kept;
    int calls;
    size_t errorLines;
  };
  const auto holesThen = [](int32_t holes, long then) {
    std::vector<long> results(holes, OV_HOLE);
    results.push_back(then);
    return results;
  };
  std::vector<long> holesTwice = holesThen(kMaxHoles - 1, 1);
  const std::vector<long> again = holesTwice;
  holesTwice.insert(holesTwice.end(), again.begin(), again.end());
  for (const Case& c : {
           Case{"holes, then data", {2, OV_HOLE, OV_HOLE, 3}, "aabbb", 5, 2},
           Case{"a bad link", {2, OV_EBADLINK, 3}, "aa", 2, 1},
           Case{"a read error", {2, 3, OV_EREAD, 3}, "aabbb", 3, 1},
           Case{"a fault", {OV_EFAULT, 3}, "", 1, 1},
           Case{"an invalid call", {1, OV_EINVAL, 3}, "a", 2, 1},
           Case{"no more data", {1, OV_FALSE, 3}, "a", 2, 1},
           Case{"too many holes in a row", holesThen(kMaxHoles, 3), "", kMaxHoles, kMaxHoles},
           Case{"data between the holes", holesTwice, "ab", 2 * kMaxHoles + 1, 2 * (kMaxHoles - 1)},
       }) {
    SCOPED_TRACE(c.name);
    char out[8] = {};
    int calls = 0;
    char letter = 'a';
    std::string errors;
    const size_t filled = readAllPcm(
        [&](char* into, int bytes) -> long {
          const long result = calls < static_cast<int>(c.results.size()) ? c.results[calls] : 0;
          ++calls;
          if (result > 0) std::memset(into, letter++, std::min<size_t>(result, bytes));
          return result;
        },
        out, sizeof out, errors);
    EXPECT_EQ(std::string(out, filled), c.kept);
    // What the stream did not deliver stays silent.
    EXPECT_EQ(std::string(out + filled, sizeof out - filled), std::string(sizeof out - filled, 0));
    EXPECT_EQ(calls, c.calls);
    std::string lines;
    for (size_t i = 0; i < c.errorLines; ++i) lines += "Error reading Ogg Vorbis file.\n";
    EXPECT_EQ(errors, lines);
  }
}

TEST_F(AudioOggClip, LoadSoundClipsKeepsOrderAndMakesEveryClipPlayable) {
  const std::vector<std::string> paths = {file("stereo.ogg"), file("missing.ogg"), file("mono.ogg"),
                                          file("low_rate.ogg"), file("three.ogg")};
  const std::string expectedErrors =
      "Error: bad Ogg Vorbis file\nWarning: " + file("low_rate.ogg") +
      " is at 22050 Hz and plays at 44100 Hz\n";
  std::vector<std::vector<std::unique_ptr<SoundClip>>> runs;
  for (unsigned workers : {1u, 3u}) {
    SCOPED_TRACE(workers);
    SpeakerInterface speaker;
    testing::internal::CaptureStderr();
    runs.push_back(loadSoundClips(speaker, paths, workers));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), expectedErrors);
  }
  for (const auto& clips : runs) {
    ASSERT_EQ(clips.size(), paths.size());
    // Numbered by the speaker in the order of the files.
    for (size_t i = 0; i < clips.size(); ++i) EXPECT_EQ(clips[i]->id, int32_t(i));
    for (const auto& clip : clips) EXPECT_EQ(clip->channelCount, 2);
    EXPECT_EQ(clips[1]->frameCount, 0u);
    EXPECT_EQ(clips[3]->sampleRate, 22050);

    // Mono is heard on both sides, of three channels the first two are kept.
    const auto mono = oggdecRaw(file("mono.ogg"));
    ASSERT_EQ(clips[2]->frameCount, mono.size() / 2);
    for (size_t f = 0; f < clips[2]->frameCount; f += 97) {
      const int16_t m = static_cast<int16_t>(mono[2 * f] | (mono[2 * f + 1] << 8));
      ASSERT_EQ(clips[2]->samples[2 * f], m);
      ASSERT_EQ(clips[2]->samples[2 * f + 1], m);
    }
    const auto three = oggdecRaw(file("three.ogg"));
    ASSERT_EQ(clips[4]->frameCount, three.size() / 6);
    for (size_t f = 0; f < clips[4]->frameCount; f += 89) {
      for (size_t c = 0; c < 2; ++c) {
        const size_t at = (3 * f + c) * 2;
        ASSERT_EQ(clips[4]->samples[2 * f + c],
                  static_cast<int16_t>(three[at] | (three[at + 1] << 8)));
      }
    }
  }
  // Serial and parallel decoding give the same clips.
  for (size_t i = 0; i < paths.size(); ++i) {
    ASSERT_EQ(runs[0][i]->frameCount, runs[1][i]->frameCount);
    EXPECT_TRUE(std::equal(runs[0][i]->samples.get(),
                           runs[0][i]->samples.get() + runs[0][i]->frameCount * 2,
                           runs[1][i]->samples.get()));
  }
}

}  // namespace
}  // namespace zt
