#include "hrv/dfa.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/hrv/hrv_test_support.h"

namespace rrscope::hrv {
namespace {

std::vector<std::size_t> boxSizesFrom(std::size_t lowest, std::size_t highest) {
  std::vector<std::size_t> sizes;
  for (std::size_t n = lowest; n <= highest; ++n) sizes.push_back(n);
  return sizes;
}

double exponentOf(std::span<const double> x, std::span<const std::size_t> sizes) {
  return dfaFit(sizes, dfaFluctuation(x, sizes)).slope;
}

TEST(Dfa, FluctuationOfATinySeriesMatchesTheHandDerivation) {
  // Mean 4, profile -3 -4 -6 -5 -5 -5 -3 0.
  // n = 4: box -3 -4 -6 -5 about its mean -4.5 is 1.5 .5 -1.5 -.5, against
  // t - 2.5 = -1.5 -.5 .5 1.5: slope -4 / 5, residuals .3 .1 -1.1 .7, squares
  // 1.8; box -5 -5 -3 0: 16.75 - 8.5^2 / 5 = 2.3. F^2 = 4.1 / 8.
  // n = 3 (the last two values dropped): -3 -4 -6 leaves 14/3 - 3^2 / 2 = 1/6,
  // -5 -5 -5 nothing. F^2 = (1/6) / 6.
  // n = 8: 24.875 - 14.5^2 / 42 = 1669 / 84. F^2 = 1669 / 672.
  const std::vector<double> x{1, 3, 2, 5, 4, 4, 6, 7};
  const std::vector<std::size_t> sizes{4, 3, 8, 2};
  const std::vector<double> f = dfaFluctuation(x, sizes);
  EXPECT_NEAR(f[0], std::sqrt(4.1 / 8), 1e-15);
  EXPECT_NEAR(f[1], 1.0 / 6, 1e-15);
  EXPECT_NEAR(f[2], std::sqrt(1669.0 / 672), 1e-15);
  EXPECT_NEAR(f[3], 0, 1e-15);  // a line through every pair of points
}

TEST(Dfa, WhiteNoiseScalesAsOneHalfAndItsRunningSumAsThreeHalves) {
  const std::vector<double> noise = whiteNoise(20000);
  std::vector<double> walk;
  double position = 0;
  for (const double step : noise) walk.push_back(position += step);
  const std::vector<std::size_t> sizes = boxSizesFrom(16, 64);
  EXPECT_NEAR(exponentOf(noise, sizes), 0.5, 0.03);
  EXPECT_NEAR(exponentOf(walk, sizes), 1.5, 0.03);
}

TEST(Dfa, AnAffineMapScalesTheFluctuationAndKeepsTheExponent) {
  const std::vector<double> x = whiteNoise(3000);
  std::vector<double> mapped;
  for (const double value : x) mapped.push_back(-3.5 * value + 800);
  const std::vector<std::size_t> sizes = boxSizesFrom(4, 64);
  const std::vector<double> f = dfaFluctuation(x, sizes);
  const std::vector<double> fMapped = dfaFluctuation(mapped, sizes);
  for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_NEAR(fMapped[i] / f[i], 3.5, 1e-12);
  EXPECT_NEAR(dfaFit(sizes, fMapped).slope, dfaFit(sizes, f).slope, 1e-12);
}

TEST(Dfa, EqualValuesHaveNoFluctuationAtAll) {
  const std::vector<double> x(100, 0.1);
  for (const double f : dfaFluctuation(x, boxSizesFrom(4, 16))) EXPECT_EQ(f, 0);
}

}  // namespace
}  // namespace rrscope::hrv
