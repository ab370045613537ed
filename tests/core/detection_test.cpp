#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/run_error.h"
#include "analysis/run_stages.h"
#include "charts/recording_window.h"

namespace rrscope {
namespace {

// Detection on hand-made samples, with the run values a run would set.
class Detection : public ::testing::Test {
 protected:
  void load(std::string_view samples) {
    state.SampleLines = analysis::SampleLines::fromText(samples);
    run.values.sampleEnd = state.SampleLines.lineCount() + 1;
  }
  void detect(double threshold, double guardSamples) {
    run.values.threshold = threshold;
    run.values.guardSamples = guardSamples;
    run.values.peakEnd = 1;
    analysis::detectPeaks(run);
    analysis::formRRSeries(run);
  }
  std::vector<double> peaks() const {
    std::vector<double> result;
    for (std::int64_t k = 1; k < run.values.peakEnd; ++k) result.push_back(state.PeakTimes.at(k));
    return result;
  }
  analysis::ErrorKind failure(void (*stage)(analysis::RunContext&)) {
    try {
      stage(run);
    } catch (const analysis::RunError& error) {
      return error.kind();
    }
    ADD_FAILURE() << "the stage did not stop";
    return analysis::ErrorKind::readError;
  }

  analysis::AnalysisState state;
  charts::RecordingWindow window;
  analysis::RunContext run{state, window, {}};
};

using Peaks = std::vector<double>;

TEST_F(Detection, FirstSampleAboveTheThresholdThenTheGuardInterval) {
  load("0\n0.5\n0.5\n0\n0.6\n");
  detect(0.4, 0);
  EXPECT_EQ(peaks(), (Peaks{2, 3, 5}));
  EXPECT_EQ(run.values.peakEnd, 4);
  EXPECT_EQ(state.RRIntervals.at(1), 1);  // three peaks make one interval, not two
  EXPECT_EQ(state.RRIntervals.at(2), 0);

  detect(0.4, 1);
  EXPECT_EQ(peaks(), (Peaks{2, 5}));
  EXPECT_EQ(state.RRIntervals.at(1), 0);
}

// The peaks of hand-made samples at a threshold and a guard interval.
TEST_F(Detection, PeaksOfEachThresholdAndGuardInterval) {
  struct Case {
    std::string_view samples;
    double threshold, guard;
    Peaks expected;
  };
  const Case cases[] = {
      // A sample equal to the threshold is no peak.
      {"0.4\n0.40000000000000002\n0.4000000000000001\n", 0.4, 0, {3}},
      // Lines without a number count as zero; 0,9 reads as 0.
      {"abc\n\n0,9\n-1\n", 0.4, 0, {}},
      {"abc\n\n0,9\n-1\n", -0.5, 0, {1, 2, 3}},
      // A negative guard interval counts as none.
      {"0\n1\n1\n0\n", 0.5, -2400, {2, 3}},
      // A half position goes to the even neighbour: 2.5 reads sample 2.
      {"1\n1\n0\n0\n0\n", 0.5, 0.5, {1, 2.5}},
  };
  for (const Case& c : cases) {
    load(c.samples);
    detect(c.threshold, c.guard);
    EXPECT_EQ(peaks(), c.expected) << c.samples << " above " << c.threshold << " guard " << c.guard;
  }
}

TEST_F(Detection, FractionalGuardIntervalsReadRoundedPositionsButKeepExactTimes) {
  // After the peak at 1 the scan goes on at 2.6, which reads sample 3, then at
  // 3.6, which reads sample 4 (a peak); 3.6 + 0.6 + 1 = 5.2 reads sample 5.
  load("1\n0\n0\n1\n1\n1\n0\n");
  detect(0.5, 0.6);
  const Peaks found = peaks();
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0], 1);
  EXPECT_DOUBLE_EQ(found[1], 3.6);
  EXPECT_DOUBLE_EQ(found[2], 5.2);
  EXPECT_DOUBLE_EQ(state.RRIntervals.at(1), 2.6);
}

TEST_F(Detection, NothingOfAnEarlierRunShowsThroughAShorterOne) {
  std::string many;
  for (int i = 0; i < 1200; ++i) many += "1\n0\n";
  load(many);
  detect(0.5, 0);
  ASSERT_EQ(run.values.peakEnd, 1201);
  EXPECT_EQ(state.RRIntervals.at(1198), 2);

  load("1\n0\n1\n0\n1\n0\n1\n");
  detect(0.5, 0);
  EXPECT_EQ(peaks(), (Peaks{1, 3, 5, 7}));
  EXPECT_EQ(state.RRIntervals.at(2), 2);
  for (const std::int64_t above : {3, 1000, 1001, 1198, 10'000'000}) {
    EXPECT_EQ(state.RRIntervals.at(above), 0) << above;
  }
  EXPECT_EQ(state.PeakTimes.at(5), 0);
  EXPECT_EQ(state.SampleLines.line(8), "");
}

TEST_F(Detection, NumbersBeyondTheDoubleRangeStopTheRunWhereTheyAreRead) {
  load("0\n1e999\n");
  run.values.threshold = 0.4;
  EXPECT_EQ(failure(analysis::detectPeaks), analysis::ErrorKind::overflow);

  for (const char* guard : {"1e999", "1e305"}) {
    window.setText(analysis::TextBox::Text2, guard);
    EXPECT_EQ(failure(analysis::readDetectionParameters), analysis::ErrorKind::overflow) << guard;
  }
  window.setText(analysis::TextBox::Text2, "0.4");
  window.setText(analysis::TextBox::Text1, "-1e999");
  EXPECT_EQ(failure(analysis::readDetectionParameters), analysis::ErrorKind::overflow);
}

}  // namespace
}  // namespace rrscope
