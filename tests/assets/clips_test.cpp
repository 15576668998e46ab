#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ostream>

#include "asset_files.h"

namespace zt::test {
namespace {

// -3 dBFS in 16-bit samples.
const double kPeakLimit = 32768.0 * std::pow(10.0, -3.0 / 20.0);

struct ClipRule {
  const char* name;
  double minSeconds, maxSeconds;
  bool loops;
};

const ClipRule kClips[] = {
    {resource_files::kTitleMusic, 20.0, 60.0, true},
    {resource_files::kGameMusic, 30.0, 90.0, true},
    {resource_files::kDeath, 0.05, 1.0, false},
    {resource_files::kAccept, 0.02, 0.5, false},
    {resource_files::kGameOverSound, 1.0, 3.0, false},
};

// Keeps test names readable instead of a byte dump of the record.
void PrintTo(const ClipRule& rule, std::ostream* os) {
  *os << rule.name;
}

class AssetClips : public ::testing::TestWithParam<ClipRule> {};

TEST_P(AssetClips, StereoAt44100WithinLengthAndLevel) {
  const ClipRule& rule = GetParam();
  const auto clip = readClip(resource(rule.name));
  ASSERT_TRUE(clip.has_value()) << rule.name << " does not decode in full";
  EXPECT_EQ(clip->channels, 2);
  EXPECT_EQ(clip->rate, 44100);
  const double seconds = static_cast<double>(clip->frames()) / 44100.0;
  EXPECT_GE(seconds, rule.minSeconds);
  EXPECT_LT(seconds, rule.maxSeconds);

  int peak = 0;
  double sum[2] = {0, 0}, squares = 0;
  for (size_t i = 0; i < clip->samples.size(); ++i) {
    const int s = clip->samples[i];
    peak = std::max(peak, std::abs(s));
    sum[i % 2] += s;
    squares += static_cast<double>(s) * s;
  }
  EXPECT_LE(peak, kPeakLimit);
  const double frames = static_cast<double>(clip->frames());
  // DC offset under 0.2 % of full scale on each side.
  EXPECT_LT(std::fabs(sum[0] / frames), 66.0);
  EXPECT_LT(std::fabs(sum[1] / frames), 66.0);
  // Clearly audible: RMS above -30 dBFS.
  EXPECT_GT(std::sqrt(squares / clip->samples.size()), 32768.0 * std::pow(10.0, -30.0 / 20.0));
}

TEST_P(AssetClips, EdgesDoNotClick) {
  const ClipRule& rule = GetParam();
  const auto clip = readClip(resource(rule.name));
  ASSERT_TRUE(clip.has_value());
  const size_t n = clip->frames();
  ASSERT_GT(n, 2u);
  for (int ch = 0; ch < 2; ++ch) {
    auto sample = [&](size_t frame) { return static_cast<int>(clip->samples[frame * 2 + ch]); };
    std::vector<int> steps;
    for (size_t i = 1; i < n; ++i) steps.push_back(std::abs(sample(i) - sample(i - 1)));
    std::sort(steps.begin(), steps.end());
    const int typical = steps[steps.size() * 95 / 100];
    if (rule.loops) {
      // The mixer goes from the last frame straight back to the first: that
      // step must be no bigger than the music's ordinary steps.
      EXPECT_LE(std::abs(sample(0) - sample(n - 1)), typical)
          << "channel " << ch << ": " << sample(n - 1) << " -> " << sample(0);
    } else {
      // A one-shot starts and stops against silence.
      EXPECT_LT(std::abs(sample(0)), 330) << "channel " << ch;
      EXPECT_LT(std::abs(sample(n - 1)), 330) << "channel " << ch;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(All, AssetClips, ::testing::ValuesIn(kClips),
                         [](const ::testing::TestParamInfo<ClipRule>& info) {
                           std::string name = info.param.name;
                           return name.substr(0, name.find('.'));
                         });

// Music must be music: loud and quiet moments that repeat with a beat, not
// one steady tone. The loudness of 1/32-second slices has to vary a lot.
TEST(AssetMusic, PiecesHaveRhythm) {
  for (const char* name : {resource_files::kTitleMusic, resource_files::kGameMusic}) {
    const auto clip = readClip(resource(name));
    ASSERT_TRUE(clip.has_value()) << name;
    const size_t slice = 44100 / 32;
    std::vector<double> levels;
    for (size_t start = 0; start + slice <= clip->frames(); start += slice) {
      double s = 0;
      for (size_t i = start * 2; i < (start + slice) * 2; ++i)
        s += double(clip->samples[i]) * clip->samples[i];
      levels.push_back(std::sqrt(s / (slice * 2)));
    }
    double mean = 0, var = 0;
    for (double l : levels) mean += l;
    mean /= levels.size();
    for (double l : levels) var += (l - mean) * (l - mean);
    var /= levels.size();
    EXPECT_GT(std::sqrt(var) / mean, 0.15) << name;
  }
}

}  // namespace
}  // namespace zt::test
