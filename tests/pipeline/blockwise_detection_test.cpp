#include "pipeline/blockwise_detection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "beats/sample_source.h"
#include "tests/beats/synthetic_record.h"

namespace rrscope::pipeline {
namespace {

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

}  // namespace
}  // namespace rrscope::pipeline
