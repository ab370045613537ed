#include "beats/beat_scoring.h"

#include <gtest/gtest.h>

#include <vector>

namespace rrscope::beats {
namespace {

using Beats = std::vector<double>;

TEST(BeatScoring, CountsMatchesMissesAndExtrasWithTheirTimingErrors) {
  // At 6000 per second a 150 ms window is 900 samples: detections exactly 900
  // samples away still match, 901 away do not; the second detection near
  // 30000 finds its beat taken.
  const Beats reference = {10000, 20000, 30000, 40000};
  const Beats detected = {10900, 19100, 30000, 30100, 40901};
  const Scoring s = scoreBeats(detected, reference, 6000);
  EXPECT_EQ(s.windowMs, 150);
  EXPECT_EQ(s.truePositives, 3);
  EXPECT_EQ(s.falseNegatives, 1);
  EXPECT_EQ(s.falsePositives, 2);
  EXPECT_DOUBLE_EQ(s.sensitivityPct(), 75.0);
  EXPECT_DOUBLE_EQ(s.positivePredictivityPct(), 60.0);
  EXPECT_DOUBLE_EQ(s.meanAbsErrorMs, 100.0);  // (150 + 150 + 0) / 3
  EXPECT_DOUBLE_EQ(s.maxAbsErrorMs, 150.0);

  // The narrower window keeps only the exact match.
  const Scoring narrow = scoreBeats(detected, reference, 6000, 50);
  EXPECT_EQ(narrow.truePositives, 1);
  EXPECT_EQ(narrow.falseNegatives, 3);
  EXPECT_EQ(narrow.falsePositives, 4);
  EXPECT_DOUBLE_EQ(narrow.maxAbsErrorMs, 0.0);
}

TEST(BeatScoring, TakesTheClosestPairsFirstAndEachBeatOnce) {
  // Two detections near one beat: one matches, the other is a false
  // positive. The closer detection 1040 claims the beat at 1030, so 1000 is
  // left with 1170, which lies beyond the window.
  const Scoring s = scoreBeats(Beats{1000, 1040}, Beats{1030, 1170}, 1000);
  EXPECT_EQ(s.truePositives, 1);
  EXPECT_EQ(s.falsePositives, 1);
  EXPECT_EQ(s.falseNegatives, 1);
  EXPECT_DOUBLE_EQ(s.meanAbsErrorMs, 10.0);

  // One detection between two beats goes to the nearer one.
  const Scoring between = scoreBeats(Beats{1100}, Beats{1000, 1120}, 1000);
  EXPECT_EQ(between.truePositives, 1);
  EXPECT_DOUBLE_EQ(between.maxAbsErrorMs, 20.0);
}

TEST(BeatScoring, EmptySeriesGiveZeroRatesInsteadOfDividingByZero) {
  const Scoring noReference = scoreBeats(Beats{5, 9}, Beats{}, 360);
  EXPECT_EQ(noReference.falsePositives, 2);
  EXPECT_EQ(noReference.truePositives + noReference.falseNegatives, 0);
  EXPECT_EQ(noReference.sensitivityPct(), 0.0);
  EXPECT_EQ(noReference.positivePredictivityPct(), 0.0);
  EXPECT_EQ(noReference.meanAbsErrorMs, 0.0);

  const Scoring nothingFound = scoreBeats(Beats{}, Beats{100}, 360);
  EXPECT_EQ(nothingFound.falseNegatives, 1);
  EXPECT_EQ(nothingFound.sensitivityPct(), 0.0);
}

}  // namespace
}  // namespace rrscope::beats
