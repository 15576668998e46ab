#include "audio/block_queue.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace zt {
namespace {

// Three blocks of 512 stereo frames whose samples count on across them.
struct Blocks {
  Blocks() : samples(3 * 1024) { std::iota(samples.begin(), samples.end(), int16_t{1}); }
  const uint8_t* block(int b) const { return reinterpret_cast<const uint8_t*>(&samples[b * 1024]); }
  std::vector<int16_t> samples;
};

// Reads as a device would, into interleaved samples; the rest stays -1.
std::vector<int16_t> readFrames(BlockQueue& queue, uint32_t frames, uint32_t& got) {
  std::vector<int16_t> out(frames * 2, -1);
  got = queue.read(frames, [&](const int16_t* samples, uint32_t count, uint32_t at) {
    std::copy(samples, samples + count * 2, out.begin() + at * 2);
  });
  return out;
}

TEST(AudioBlockQueue, ReadsOfAnyLengthSplitBlocksInOrderAndReportEachOnce) {
  const Blocks blocks;
  int done = 0;
  BlockQueue queue;
  queue.open(2, [&] { ++done; });
  for (int b = 0; b < 3; ++b) queue.submit(blocks.block(b), 2048);

  uint32_t got = 0;
  std::vector<int16_t> out = readFrames(queue, 750, got);
  EXPECT_EQ(got, 750u);
  EXPECT_TRUE(std::equal(out.begin(), out.end(), blocks.samples.begin()));
  EXPECT_EQ(done, 1);
  out = readFrames(queue, 1000, got);
  EXPECT_EQ(got, 786u);  // the rest of the second block and the third
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 786 * 2, blocks.samples.begin() + 1500));
  EXPECT_EQ(out[786 * 2], -1);  // the device's silence from here
  EXPECT_EQ(done, 3);

  // Closing drops what is queued, half-read or not, unreported; what comes
  // after plays from its first frame.
  queue.submit(blocks.block(0), 2048);
  readFrames(queue, 100, got);
  queue.close();
  EXPECT_EQ(queue.size(), 0u);
  readFrames(queue, 600, got);
  EXPECT_EQ(got, 0u);
  queue.open(2, [&] { ++done; });
  queue.submit(blocks.block(1), 2048);
  out = readFrames(queue, 1, got);
  EXPECT_EQ(out[0], blocks.samples[1024]);
  EXPECT_EQ(done, 3);
}

TEST(AudioBlockQueue, ABlockSubmittedFromTheReportIsReadInTheSameCall) {
  // As a device that drives the mixing: each report queues the next block.
  const Blocks blocks;
  BlockQueue queue;
  int done = 0;
  queue.open(2, [&] {
    if (++done < 3) queue.submit(blocks.block(done), 2048);
  });
  queue.submit(blocks.block(0), 2048);
  uint32_t got = 0;
  const std::vector<int16_t> out = readFrames(queue, 2000, got);
  EXPECT_EQ(got, 1536u);
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 3072, blocks.samples.begin()));
  EXPECT_EQ(done, 3);
}

}  // namespace
}  // namespace zt
