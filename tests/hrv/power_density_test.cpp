#include <cmath>
#include <numbers>
#include <vector>

#include "hrv/not_a_knot_spline.h"
#include "hrv/welch_density.h"
#include "tests/hrv/hrv_test_support.h"

namespace rrscope::hrv {
namespace {

TEST(NotAKnotSpline, ReproducesACubicAtUnevenKnots) {
  const auto cubic = [](double t) { return 2 - 3 * t + 0.5 * t * t - 0.25 * t * t * t; };
  for (const std::vector<double>& knots :
       {std::vector<double>{0, 0.7, 1.1, 2.9}, std::vector<double>{-1, 0, 0.2, 1.5, 1.6, 4}}) {
    std::vector<double> values;
    for (const double t : knots) values.push_back(cubic(t));
    std::vector<double> positions;
    for (double t = knots.front(); t <= knots.back(); t += 0.05) positions.push_back(t);
    const std::vector<double> spline = NotAKnotSpline(knots, values).evaluateAscending(positions);
    for (std::size_t i = 0; i < positions.size(); ++i)
      EXPECT_NEAR(spline[i], cubic(positions[i]), 1e-12) << positions[i];
  }
}

TEST(NotAKnotSpline, MatchesHandSolvedValuesOnASpike) {
  // Through (0,0) (1,0) (2,1) (3,0) (4,0): on [0, 2] the spline is the one
  // cubic -0.75 t^3 + 2.75 t^2 - 2 t, by the not-a-knot condition at t = 1.
  const std::vector<double> knots{0, 1, 2, 3, 4};
  const std::vector<double> values{0, 0, 1, 0, 0};
  const std::vector<double> positions{0.5, 1.5, 2.5, 3.5, 4};
  const std::vector<double> spline = NotAKnotSpline(knots, values).evaluateAscending(positions);
  EXPECT_NEAR(spline[0], -13.0 / 32, 1e-14);
  EXPECT_NEAR(spline[1], 21.0 / 32, 1e-14);
  EXPECT_NEAR(spline[2], 21.0 / 32, 1e-14);
  EXPECT_NEAR(spline[3], -13.0 / 32, 1e-14);
  EXPECT_NEAR(spline[4], 0, 1e-14);
}

TEST(WelchSpectrum, DensityIntegratesToTheMeanSquareOfTheWindowedSegments) {
  // With the edge bins not doubled, the one-sided density sums (times the
  // bin width) to the power of the windowed segments; a wave at the Nyquist
  // frequency puts its power at the last bin.
  std::vector<double> series(1024);
  for (std::size_t n = 0; n < series.size(); ++n) series[n] = n % 2 == 0 ? 3 : -3;
  const Spectrum spectrum = welchSpectrum(series);
  ASSERT_EQ(spectrum.frequenciesHz.size(), kWelchFftLength / 2 + 1);
  EXPECT_DOUBLE_EQ(spectrum.frequenciesHz.back(), 2);
  double integral = 0;
  for (const double density : spectrum.densitiesMs2PerHz)
    integral += density * kResampleHz / kWelchFftLength;
  EXPECT_NEAR(integral, 9, 1e-9);
  EXPECT_NEAR(spectrum.densitiesMs2PerHz.front(), 0, 1e-20);
}

TEST(FrequencyDomain, SinusoidalModulationsLandInTheirBandsWithHalfTheSquaredAmplitude) {
  const double a1 = 20;
  const double a2 = 10;
  const Measures m = computeMeasures(modulatedIntervals(500, a1, a2, 0, 600));
  EXPECT_NEAR(valueOf(m, Measure::lf), a1 * a1 / 2, 0.03 * a1 * a1 / 2);
  EXPECT_NEAR(valueOf(m, Measure::hf), a2 * a2 / 2, 0.03 * a2 * a2 / 2);
  EXPECT_LT(valueOf(m, Measure::vlf), 0.01 * a1 * a1 / 2);
  EXPECT_NEAR(valueOf(m, Measure::lfHf), 4, 0.2);
  EXPECT_NEAR(valueOf(m, Measure::lfNu), 80, 1);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::lfNu) + valueOf(m, Measure::hfNu), 100);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::totalPower),
                   valueOf(m, Measure::vlf) + valueOf(m, Measure::lf) + valueOf(m, Measure::hf));
  EXPECT_NEAR(valueOf(m, Measure::lfPeak), 0.1, 1.0 / 1024);
  EXPECT_NEAR(valueOf(m, Measure::hfPeak), 0.25, 1.0 / 1024);
}

TEST(FrequencyDomain, NeedsFourIntervalsAndSixtyFourSeconds) {
  // Intervals of 1 s: 65 of them put the last time at 64 s, a grid of 256 points.
  const Measures enough = computeMeasures(std::vector<double>(65, 1000));
  EXPECT_TRUE(enough[Measure::lf].defined());
  EXPECT_EQ(enough.spectrum.densitiesMs2PerHz.size(), kWelchFftLength / 2 + 1);
  const Measures tooShort = computeMeasures(std::vector<double>(64, 1000));
  expectUndefined(tooShort,
                  {Measure::vlf, Measure::lf, Measure::hf, Measure::totalPower, Measure::lfHf,
                   Measure::lfNu, Measure::lfPeak},
                  Undefined::tooShortForSpectrum);
  EXPECT_TRUE(tooShort.spectrum.frequenciesHz.empty());
  const Measures three = computeMeasures(std::vector<double>{30000, 30000, 30000});
  expectUndefined(three, {Measure::hf}, Undefined::tooShortForSpectrum);
}

}  // namespace
}  // namespace rrscope::hrv
