#include <cmath>
#include <vector>

#include "tests/hrv/hrv_test_support.h"

namespace rrscope::hrv {
namespace {

TEST(TimeDomain, AlternatingIntervalsGiveTheirHandDerivedMeasures) {
  const std::vector<double> series{800, 900, 800, 900, 800};
  const Measures m = computeMeasures(series);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::meanNn), 840);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::medianNn), 800);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::iqrNn), 100);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::sdnn), std::sqrt(3000.0));
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::cvnn), std::sqrt(3000.0) / 840);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::rmssd), 100);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::sdsd), 100 * std::sqrt(4.0 / 3));
  EXPECT_EQ(valueOf(m, Measure::nn50), 4);
  EXPECT_EQ(valueOf(m, Measure::nn20), 4);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::pnn50), 80);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::meanHr), (3 * 75 + 2 * 60000.0 / 900) / 5);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::minHr), 60000.0 / 900);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::maxHr), 75);
  // Successive pairs lie on a line across the identity: SD1 = SDSD / sqrt 2, SD2 = 0.
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::sd1), valueOf(m, Measure::sdsd) / std::sqrt(2.0));
  EXPECT_NEAR(valueOf(m, Measure::sd2), 0, 1e-12);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::hti), 5.0 / 3);
}

TEST(TimeDomain, QuartilesInterpolateLinearlyBetweenRanks) {
  const std::vector<double> series{700, 1000, 600, 900};  // ranks 0..3: 600 700 900 1000
  const Measures m = computeMeasures(series);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::medianNn), 800);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::iqrNn), 925 - 675);  // ranks 2.25 and 0.75
}

TEST(TimeDomain, DifferencesOfExactlyTheThresholdInSamplesDoNotCount) {
  // At 6000 samples per second, 300 samples are 50 ms and 120 samples 20 ms;
  // converted to ms many such differences round to slightly above.
  std::vector<double> series;
  for (int samples = 4000; samples < 7000; samples += 7) {
    series.push_back(samples * 1000.0 / 6000.0);
    series.push_back((samples + 300) * 1000.0 / 6000.0);
    series.push_back((samples + 420) * 1000.0 / 6000.0);
  }
  const Measures m = computeMeasures(series);
  // Within each triple the steps are 300 and 120 samples; between triples
  // -413 samples (68.8 ms), the only steps above 50 ms.
  const double triples = static_cast<double>(series.size()) / 3;
  EXPECT_EQ(valueOf(m, Measure::nn50), triples - 1);
  EXPECT_EQ(valueOf(m, Measure::nn20), 2 * triples - 1);
}

TEST(TimeDomain, ShortSeriesLeaveTheMeasuresThatNeedMoreUndefined) {
  const Measures none = computeMeasures({});
  for (const Measure measure : allMeasures()) EXPECT_FALSE(none[measure].defined());
  expectUndefined(none, {Measure::meanNn, Measure::sdnn, Measure::hti, Measure::sd1},
                  Undefined::noIntervals);

  const std::vector<double> one{1000};
  const Measures single = computeMeasures(one);
  EXPECT_DOUBLE_EQ(valueOf(single, Measure::medianNn), 1000);
  EXPECT_DOUBLE_EQ(valueOf(single, Measure::meanHr), 60);
  EXPECT_DOUBLE_EQ(valueOf(single, Measure::iqrNn), 0);
  expectUndefined(
      single,
      {Measure::sdnn, Measure::cvnn, Measure::rmssd, Measure::nn50, Measure::pnn20, Measure::sdsd},
      Undefined::fewerThanTwoIntervals);

  const std::vector<double> two{1000, 1100};
  const Measures pair = computeMeasures(two);
  EXPECT_DOUBLE_EQ(valueOf(pair, Measure::rmssd), 100);
  EXPECT_DOUBLE_EQ(valueOf(pair, Measure::pnn50), 50);
  expectUndefined(pair, {Measure::sdsd, Measure::sd1, Measure::sd2, Measure::poincareArea},
                  Undefined::fewerThanThreeIntervals);
  expectUndefined(pair, {Measure::lf, Measure::lfPeak}, Undefined::tooShortForSpectrum);
}

TEST(TimeDomain, EqualIntervalsHaveZeroSpreadAndNoRatios) {
  const Measures m = computeMeasures(std::vector<double>(400, 750));
  EXPECT_EQ(valueOf(m, Measure::sdnn), 0);
  EXPECT_EQ(valueOf(m, Measure::cvnn), 0);
  EXPECT_EQ(valueOf(m, Measure::hti), 1);
  EXPECT_EQ(valueOf(m, Measure::lf), 0);
  EXPECT_EQ(valueOf(m, Measure::totalPower), 0);
  expectUndefined(m, {Measure::sd1Sd2, Measure::lfHf, Measure::lfNu, Measure::hfNu},
                  Undefined::zeroDenominator);
  expectUndefined(m, {Measure::lfPeak, Measure::hfPeak}, Undefined::noPowerInBand);
}

TEST(TimeDomain, NonPositiveOrNonFiniteIntervalsLeaveEveryMeasureUndefined) {
  for (const double bad : {0.0, -5.0, std::nan(""), HUGE_VAL}) {
    const std::vector<double> series{800, bad, 900, 850};
    const Measures m = computeMeasures(series);
    for (const Measure measure : allMeasures())
      EXPECT_EQ(m[measure].reason(), Undefined::nonPositiveInterval) << measureKey(measure);
    EXPECT_FALSE(m[Measure::meanNn].defined());
  }
}

TEST(Segments, EachFilledFiveMinuteSegmentContributesItsMeanAndDeviation) {
  // Segment 0: 150 pairs 900 + 1100, ending exactly at 300 s; segment 1: 250 × 1200.
  std::vector<double> series = repeated({900, 1100}, 150);
  const Measures oneSegment = computeMeasures(series);
  expectUndefined(oneSegment, {Measure::sdann, Measure::sdnni}, Undefined::fewerThanTwoSegments);

  series.insert(series.end(), 250, 1200);
  const Measures twoSegments = computeMeasures(series);
  EXPECT_DOUBLE_EQ(valueOf(twoSegments, Measure::sdann), 100 * std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(valueOf(twoSegments, Measure::sdnni), 100 * std::sqrt(300.0 / 299) / 2);

  // A third segment that the series does not fill changes nothing.
  series.insert(series.end(), 240, 500);
  const Measures partial = computeMeasures(series);
  EXPECT_DOUBLE_EQ(valueOf(partial, Measure::sdann), 100 * std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(valueOf(partial, Measure::sdnni), 100 * std::sqrt(300.0 / 299) / 2);
}

TEST(Segments, AnIntervalEndingJustPastTheBorderBelongsToTheNextSegment) {
  // 299 intervals of 1000 ms, then one of 1400 ms ending at 300.4 s.
  std::vector<double> series(299, 1000);
  series.push_back(1400);
  series.insert(series.end(), 299, 1000);
  series.push_back(600);  // the total is exactly 600 s
  const Measures m = computeMeasures(series);
  // Segment 0 holds 299 × 1000 (no spread); segment 1 holds 1400, 299 × 1000 and 600.
  EXPECT_NEAR(valueOf(m, Measure::sdann), 0, 1e-9);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::sdnni), std::sqrt(320000.0 / 300) / 2);
}

}  // namespace
}  // namespace rrscope::hrv
