#include "pipeline/readable_series.h"

#include <gtest/gtest.h>

#include <vector>

namespace rrscope::pipeline {
namespace {

// Beats every 100 samples at 100 per second (1000 ms apart); the stretch
// from the beat at 300 to the one at 600 cannot be read.
TEST(ReadableSeries, LeavesOutTheBeatsInsideAndEveryIntervalThatTouchesAStretch) {
  const std::vector<double> beats{0, 100, 200, 300, 400, 500, 600, 700, 800};
  const std::vector<beats::SampleStretch> unreadable{{300, 600}};
  const ReadableSeries series = readableSeries(beats, unreadable, 100.0);
  // 400 and 500 lie inside; 300 and 600 bound the stretch and are beats.
  EXPECT_EQ(series.excludedBeats, 2u);
  // 300-400, 400-500 and 500-600 lie in it; 200-300 and 600-700 touch it.
  EXPECT_EQ(series.excludedIntervals, 5u);
  EXPECT_EQ(series.intervalsMs, (std::vector<double>{1000, 1000, 1000}));
  EXPECT_EQ(series.ends, (std::vector<std::size_t>{1, 2, 8}));
}

TEST(ReadableSeries, KeepsEveryIntervalWithoutStretchesAndFindsEachOfSeveral) {
  const std::vector<double> beats{0, 100, 250, 400, 500, 650, 800};
  const ReadableSeries all = readableSeries(beats, {}, 100.0);
  EXPECT_EQ(all.intervalsMs, (std::vector<double>{1000, 1500, 1500, 1000, 1500, 1500}));
  EXPECT_EQ(all.excludedIntervals, 0u);

  // A stretch between two beats touches only the interval it lies in.
  const std::vector<beats::SampleStretch> unreadable{{120, 130}, {660, 700}};
  const ReadableSeries some = readableSeries(beats, unreadable, 100.0);
  EXPECT_EQ(some.excludedBeats, 0u);
  EXPECT_EQ(some.ends, (std::vector<std::size_t>{1, 3, 4, 5}));
}

}  // namespace
}  // namespace rrscope::pipeline
