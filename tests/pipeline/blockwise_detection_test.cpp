#include "pipeline/blockwise_detection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "beats/sample_source.h"
#include "tests/beats/synthetic_ecg.h"
#include "tests/beats/synthetic_record.h"

namespace rrscope::pipeline {
namespace {

// A rate the detector refuses is refused before the blocks are sized by it:
// 1e300 samples a second once made blocks of no sensible length.
TEST(BlockwiseDetection, RatesTheDetectorRefusesAreRefusedFirst) {
  const std::vector<double> samples(100'000, 0.0);
  for (const double rate : {1e300, 1e12, std::nan(""), -360.0, 30.0}) {
    EXPECT_THROW(detectBeatsInBlocks(beats::SpanSamples(samples), rate), std::invalid_argument)
        << rate;
  }
}

// Half an hour spans three blocks: every beat must come out once, also those
// beside the block edges, where both neighbouring blocks see them.
TEST(BlockwiseDetection, EveryBeatOnceAcrossBlockEdges) {
  const test::SyntheticLead lead = test::syntheticLead(250, 1800);
  std::vector<double> samples(lead.adc.begin(), lead.adc.end());
  for (double& sample : samples) sample /= 200.0;
  const std::vector<double> peaks = detectRPeaksInBlocks(beats::SpanSamples(samples), lead.rate);
  ASSERT_EQ(peaks.size(), lead.beats.size());
  for (std::size_t i = 0; i < peaks.size(); ++i) {
    ASSERT_NEAR(peaks[i], static_cast<double>(lead.beats[i]), 10.0) << "beat " << i;
  }
}

// A complex whose S wave deepens a little after ten minutes, past twice the
// R wave: alone, the first block would time its beats on the R peak and the
// second on the S trough, 24 ms later. The second block keeps the first
// block's point, so no interval changes at the edge.
TEST(BlockwiseDetection, KeepsOneFiducialPointAcrossBlocks) {
  const auto complex = [](double sDepth) {
    return beats::test::BeatShape{
        {{-0.16, 0.15, 0.025}, {0.0, 1.0, 0.009}, {0.024, -sDepth, 0.009}, {0.26, 0.3, 0.045}}};
  };
  std::vector<std::pair<double, beats::test::BeatShape>> rhythm;
  for (double t = 0.5; t < 1250; t += 0.8) rhythm.emplace_back(t, complex(t < 600 ? 1.8 : 2.2));
  const double rate = 360;
  const beats::test::Recording r =
      beats::test::synthesise(rhythm, 1251, rate, {.noise = 0.01, .seed = 3});
  const std::vector<double> peaks = detectRPeaksInBlocks(beats::SpanSamples(r.samples), rate);
  ASSERT_EQ(peaks.size(), r.beats.size());
  for (std::size_t i = 1; i < peaks.size(); ++i) {
    const double errorMs =
        ((peaks[i] - peaks[i - 1]) - (r.beats[i] - r.beats[i - 1])) / rate * 1000;
    ASSERT_LT(std::abs(errorMs), 1.0) << "interval ending at " << r.beats[i] / rate << " s";
  }
}

}  // namespace
}  // namespace rrscope::pipeline
