#include "pipeline/blockwise_detection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "beats/sample_source.h"
#include "tests/beats/synthetic_record.h"

namespace rrscope::pipeline {
namespace {

// Half an hour spans three blocks: every beat must come out once, also those
// beside the block edges, where both neighbouring blocks see them.
// A rate the detector refuses is refused before the blocks are sized by it:
// 1e300 samples a second once made blocks of no sensible length.
TEST(BlockwiseDetection, RatesTheDetectorRefusesAreRefusedFirst) {
  const std::vector<double> samples(100'000, 0.0);
  for (const double rate : {1e300, 1e12, std::nan(""), -360.0, 30.0}) {
    EXPECT_THROW(detectBeatsInBlocks(beats::SpanSamples(samples), rate), std::invalid_argument)
        << rate;
  }
}

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

}  // namespace
}  // namespace rrscope::pipeline
