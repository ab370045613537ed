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

// Beats at 100 per second: N N V N N S N N N, intervals 800 750 950 820 600
// 900 780 810 ms.
struct ClassedBeats {
  std::vector<double> positions{0, 80, 155, 250, 332, 392, 482, 560, 641};
  std::vector<beats::BeatClass> classes;
  ClassedBeats() {
    using enum beats::BeatClass;
    classes = {N, N, V, N, N, S, N, N, N};
  }
};

TEST(ReadableSeries, TheNnSeriesLeavesOutExactlyTheIntervalsTouchingOtherBeats) {
  const ClassedBeats b;
  const ReadableSeries series = readableSeries(b.positions, {}, 100.0, b.classes);
  EXPECT_EQ(series.intervalsMs, (std::vector<double>{800, 820, 780, 810}));
  EXPECT_EQ(series.ends, (std::vector<std::size_t>{1, 4, 7, 8}));
  EXPECT_EQ(series.ectopicIntervals, 4u);
  EXPECT_EQ(series.interpolatedIntervals, 0u);
  // Without classes every interval counts, as in the plain RR series.
  EXPECT_EQ(readableSeries(b.positions, {}, 100.0).intervalsMs.size(), 8u);
}

TEST(ReadableSeries, InterpolationPutsTheMedianOfTheNnIntervalsAroundInPlace) {
  const ClassedBeats b;
  const ReadableSeries series =
      readableSeries(b.positions, {}, 100.0, b.classes, EctopicHandling::interpolate);
  // Every NN interval lies within five on either side of each ectopic one:
  // the median of 800, 820, 780 and 810 is 805.
  EXPECT_EQ(series.intervalsMs, (std::vector<double>{800, 805, 805, 820, 805, 805, 780, 810}));
  EXPECT_EQ(series.ends, (std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(series.ectopicIntervals, 4u);
  EXPECT_EQ(series.interpolatedIntervals, 4u);

  // An interval touching an unreadable stretch is left out, never filled in;
  // and with no NN interval at all an ectopic one is left out too.
  const std::vector<beats::SampleStretch> unreadable{{240, 260}};
  const ReadableSeries cut =
      readableSeries(b.positions, unreadable, 100.0, b.classes, EctopicHandling::interpolate);
  EXPECT_EQ(cut.excludedIntervals, 2u);
  // The 820 ms interval is gone with it, so the median of 800, 780 and 810.
  EXPECT_EQ(cut.intervalsMs, (std::vector<double>{800, 800, 800, 800, 780, 810}));
  using enum beats::BeatClass;
  const std::vector<beats::BeatClass> allV(b.positions.size(), V);
  EXPECT_TRUE(readableSeries(b.positions, {}, 100.0, allV, EctopicHandling::interpolate)
                  .intervalsMs.empty());
}

}  // namespace
}  // namespace rrscope::pipeline
