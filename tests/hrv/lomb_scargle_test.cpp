#include "hrv/lomb_scargle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "hrv/lomb_periodogram.h"
#include "tests/hrv/hrv_test_support.h"

namespace rrscope::hrv {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// L at f straight from its definition, one trigonometric call per term.
double directLomb(std::span<const double> t, std::span<const double> y, double f) {
  const double w = kTwoPi * f;
  double sin2 = 0;
  double cos2 = 0;
  for (const double ti : t) sin2 += std::sin(2 * w * ti), cos2 += std::cos(2 * w * ti);
  const double tau = std::atan2(sin2, cos2) / (2 * w);
  double yc = 0, ys = 0, cc = 0, ss = 0;
  for (std::size_t i = 0; i < t.size(); ++i) {
    const double c = std::cos(w * (t[i] - tau));
    const double s = std::sin(w * (t[i] - tau));
    yc += y[i] * c, ys += y[i] * s, cc += c * c, ss += s * s;
  }
  return yc * yc / cc + ys * ys / ss;
}

TEST(LombPeriodogram, EqualsTheDoubledPeriodogramOnEvenSamplesAtFourierFrequencies) {
  constexpr std::size_t n = 64;
  const std::vector<double> y = uniformSeries(n, -50, 50, 7);
  std::vector<double> t(n);
  for (std::size_t i = 0; i < n; ++i) t[i] = 0.25 * static_cast<double>(i);
  const std::vector<double> lomb = lombPeriodogram(t, y, 0.25 * n, n / 2);
  for (std::size_t j = 1; j <= n / 2; ++j) {
    double re = 0, im = 0;
    for (std::size_t i = 0; i < n; ++i) {
      const double angle = kTwoPi * static_cast<double>(i * j % n) / n;
      re += y[i] * std::cos(angle), im -= y[i] * std::sin(angle);
    }
    // The Nyquist bin, j = n / 2, has no mirror image and is not doubled.
    const double expected = (j == n / 2 ? 1 : 2) * (re * re + im * im) / n;
    EXPECT_NEAR(lomb[j - 1], expected, 1e-9 * expected) << j;
  }
}

// A series' beat times from the end of its first interval, in s, and its
// deviations from its mean, as the spectrum takes them.
struct Beats {
  std::vector<double> t{0};
  std::vector<double> y;
  explicit Beats(std::span<const double> intervals) {
    double mean = 0;
    for (const double x : intervals) mean += x / static_cast<double>(intervals.size());
    for (std::size_t i = 1; i < intervals.size(); ++i) t.push_back(t.back() + intervals[i] / 1000);
    for (const double x : intervals) y.push_back(x - mean);
  }
  double span() const { return t.back(); }
};

TEST(LombPeriodogram, AngleAdditionAgreesWithTheDirectSums) {
  // 400 irregular beats: 640 frequencies, five runs between re-seeds.
  const Beats beats(uniformSeries(400, 500, 1200, 7));
  const double period = 4 * beats.span();
  const std::vector<double> fast = lombPeriodogram(beats.t, beats.y, period, 640);
  for (std::size_t k = 1; k <= 640; ++k) {
    const double slow = directLomb(beats.t, beats.y, static_cast<double>(k) / period);
    EXPECT_NEAR(fast[k - 1], slow, 1e-9 * slow) << k;
  }
}

TEST(LombScargleSpectrum, ASinusoidOfAmplitudeAHasPowerHalfASquared) {
  for (const double f : {0.1, 0.25}) {
    const bool lf = f == 0.1;
    const Spectrum spectrum =
        lombScargleSpectrum(modulatedIntervals(800, lf ? 30 : 0, lf ? 0 : 30, 0, 600));
    EXPECT_NEAR(bandPower(spectrum, f - 0.05, f + 0.05), 450, 0.01 * 450) << f;
    EXPECT_LT(bandPower(spectrum, f + 0.07, 0.5), 0.01 * 450) << f;
  }
}

TEST(LombScargleSpectrum, GridStepsByAQuarterOfTheInverseSpanUpToHalfAHertz) {
  // 301 beats alternating 400 and 600 ms: span 150 s, mean Nyquist 1 Hz.
  std::vector<double> intervals;
  for (std::size_t i = 0; i < 301; ++i) intervals.push_back(i % 2 == 0 ? 400 : 600);
  const Spectrum spectrum = lombScargleSpectrum(intervals);
  ASSERT_EQ(spectrum.frequenciesHz.size(), 300u);
  ASSERT_EQ(spectrum.densitiesMs2PerHz.size(), 300u);
  EXPECT_DOUBLE_EQ(spectrum.frequenciesHz.front(), 1.0 / 600);
  EXPECT_EQ(spectrum.frequenciesHz.back(), 0.5);
}

TEST(LombScargleSpectrum, GridStopsAtTheMeanNyquistFrequencyOfSlowBeats) {
  const std::vector<double> intervals = uniformSeries(100, 1400, 1600, 7);
  const Beats beats(intervals);
  const Spectrum spectrum = lombScargleSpectrum(intervals);
  ASSERT_EQ(spectrum.frequenciesHz.size(), 2 * 99u);
  EXPECT_NEAR(spectrum.frequenciesHz.back(), 99 / (2 * beats.span()), 1e-12);
  // The density is L over the mean rate 99 / span.
  const double f = spectrum.frequenciesHz[49];
  EXPECT_NEAR(spectrum.densitiesMs2PerHz[49], directLomb(beats.t, beats.y, f) * beats.span() / 99,
              1e-9 * spectrum.densitiesMs2PerHz[49]);
}

TEST(LombScargleSpectrum, EqualIntervalsHaveNoPowerEvenAtTheNyquistFrequency) {
  // Beats 1 s apart put every 2wt at a multiple of 2 pi at 0.5 Hz, where
  // both terms of L are 0 / 0.
  for (const std::size_t n : {4u, 301u}) {
    const Spectrum spectrum = lombScargleSpectrum(std::vector<double>(n, 1000));
    EXPECT_EQ(spectrum.frequenciesHz.back(), 0.5);
    for (const double density : spectrum.densitiesMs2PerHz) ASSERT_EQ(density, 0) << n;
  }
}

}  // namespace
}  // namespace rrscope::hrv
