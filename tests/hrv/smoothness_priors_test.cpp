#include "hrv/smoothness_priors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "tests/hrv/hrv_test_support.h"

namespace rrscope::hrv {
namespace {

// (I + lambda^2 D2' D2)^-1 z by Gaussian elimination with partial pivoting
// on the full matrix, D2 built row by row as in its definition.
std::vector<double> denseTrend(const std::vector<double>& z, double lambda) {
  const std::size_t n = z.size();
  std::vector<std::vector<double>> d2(n > 2 ? n - 2 : 0, std::vector<double>(n, 0.0));
  for (std::size_t r = 0; r < d2.size(); ++r) d2[r][r] = 1, d2[r][r + 1] = -2, d2[r][r + 2] = 1;
  std::vector<std::vector<double>> h(n, std::vector<double>(n + 1, 0.0));  // with z appended
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) {
      for (const auto& row : d2) h[i][j] += lambda * lambda * row[i] * row[j];
    }
    h[i][i] += 1;
    h[i][n] = z[i];
  }
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::abs(h[r][c]) > std::abs(h[pivot][c])) pivot = r;
    std::swap(h[c], h[pivot]);
    for (std::size_t r = c + 1; r < n; ++r) {
      const double factor = h[r][c] / h[c][c];
      for (std::size_t j = c; j <= n; ++j) h[r][j] -= factor * h[c][j];
    }
  }
  std::vector<double> x(n);
  for (std::size_t i = n; i-- > 0;) {
    double rest = h[i][n];
    for (std::size_t j = i + 1; j < n; ++j) rest -= h[i][j] * x[j];
    x[i] = rest / h[i][i];
  }
  return x;
}

TEST(SmoothnessPriors, BandedSolveEqualsTheDenseFormula) {
  for (const std::size_t n : {1, 2, 3, 4, 5, 6, 50}) {
    for (const double lambda : {10.0, 500.0}) {
      const std::vector<double> z = uniformSeries(n, 750, 850, 11);
      const std::vector<double> banded = smoothnessPriorsTrend(z, lambda);
      const std::vector<double> dense = denseTrend(z, lambda);
      ASSERT_EQ(banded.size(), n);
      for (std::size_t i = 0; i < n; ++i)
        EXPECT_NEAR(banded[i], dense[i], 1e-7) << "n " << n << ", lambda " << lambda << ", " << i;
    }
  }
}

// 2000 s at 4 Hz of a straight line, a constant and a sinusoid in ms.
std::vector<double> sampled(double (*wave)(double)) {
  std::vector<double> z(8000);
  for (std::size_t i = 0; i < z.size(); ++i) z[i] = wave(static_cast<double>(i) / 4);
  return z;
}

TEST(SmoothnessPriors, RemovesStraightLinesAndConstantsCompletely) {
  std::vector<double> constant = sampled(+[](double) { return 900.1; });
  removeSmoothnessPriorsTrend(constant, 500);
  for (const double value : constant) ASSERT_EQ(value, 0);
  for (auto line :
       {+[](double t) { return 700 + 0.05 * t; }, +[](double t) { return 1000 - 0.2 * t; }}) {
    std::vector<double> z = sampled(line);
    removeSmoothnessPriorsTrend(z, 500);
    for (const double value : z) ASSERT_NEAR(value, 0, 1e-9);
  }
}

// Away from the ends the detrending is a zero-phase filter of gain
// 16 lambda^2 s^4 / (1 + 16 lambda^2 s^4), s = sin(pi f / 4 Hz).
TEST(SmoothnessPriors, PassesHighFrequenciesAndHalvesThePowerAt0Point0355Hz) {
  const auto keptHf =
      +[](double t) { return 800 + 20 * std::sin(2 * std::numbers::pi * 0.25 * t); };
  const auto atCutOff = +[](double t) { return 20 * std::cos(2 * std::numbers::pi * 0.0355 * t); };
  std::vector<double> hf = sampled(keptHf);
  removeSmoothnessPriorsTrend(hf, 500);
  std::vector<double> cutOff = sampled(atCutOff);
  removeSmoothnessPriorsTrend(cutOff, 500);
  const double halfPowerGain = 1 / std::sqrt(2.0);
  for (std::size_t i = 1000; i < 7000; ++i) {
    const double t = static_cast<double>(i) / 4;
    ASSERT_NEAR(hf[i], keptHf(t) - 800, 0.02 * 20) << t;
    ASSERT_NEAR(cutOff[i], halfPowerGain * atCutOff(t), 0.002 * 20) << t;
  }
}

}  // namespace
}  // namespace rrscope::hrv
