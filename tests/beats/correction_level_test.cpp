#include "beats/correction_level.h"

#include <gtest/gtest.h>

#include <vector>

namespace rrscope::beats {
namespace {

TEST(CorrectionLevel, EveryLevelHasItsWordAndOnlyThresholdLevelsAThreshold) {
  for (const CorrectionLevel level : kCorrectionLevels) {
    EXPECT_EQ(correctionLevelNamed(correctionLevelWord(level)), level);
    const bool threshold = level != CorrectionLevel::off && level != CorrectionLevel::automatic;
    EXPECT_EQ(thresholdSeconds(level).has_value(), threshold) << correctionLevelWord(level);
  }
  EXPECT_EQ(thresholdSeconds(CorrectionLevel::medium), 0.25);
  EXPECT_FALSE(correctionLevelNamed("Medium").has_value());
}

// Twenty intervals of `base` ms with `odd` in the middle: what becomes of
// the odd one at each threshold, scaled by the mean heart rate.
TEST(CorrectionLevel, AnIntervalFarFromItsNeighboursBecomesTheirMedianButAPauseStays) {
  const struct {
    double base;
    double odd;
    double seconds;
    double expected;
    std::size_t replaced;
    std::size_t pauses;
  } cases[] = {
      {1000, 1200, 0.25, 1200, 0, 0},  // 200 ms within 250 ms at 60 beats a minute
      {1000, 1200, 0.15, 1000, 1, 0}, {1000, 700, 0.25, 1000, 1, 0},  // short
      {500, 640, 0.25, 500, 1, 0},     // 140 ms beyond 0.25 × 507 ms at 118 a minute
      {500, 600, 0.25, 600, 0, 0},     // 100 ms within 0.25 × 505 ms
      {1000, 1600, 0.25, 1600, 0, 1},  // a pause of the heart: never filled
      {1000, 1450, 0.25, 1000, 1, 0},  // long, but short of a pause
  };
  for (const auto& [base, odd, seconds, expected, replaced, pauses] : cases) {
    std::vector<double> intervals(20, base);
    intervals[10] = odd;
    const ThresholdCorrection corrected = correctByThreshold(intervals, seconds);
    EXPECT_EQ(corrected.intervalsMs[10], expected) << base << " " << odd << " " << seconds;
    EXPECT_EQ(corrected.replaced, replaced) << base << " " << odd;
    EXPECT_EQ(corrected.pauses, pauses) << base << " " << odd;
    EXPECT_EQ(corrected.intervalsMs.size(), intervals.size());
  }
}

}  // namespace
}  // namespace rrscope::beats
