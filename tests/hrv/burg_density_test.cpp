#include "hrv/burg_density.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/hrv/hrv_test_support.h"

namespace rrscope::hrv {
namespace {

// x_t = 1.3 x_{t-1} - 0.6 x_{t-2} + e_t with unit normal e, less its mean.
std::vector<double> ar2Series(std::size_t n) {
  std::vector<double> series;
  double previous = 0;
  double beforeThat = 0;
  for (const double noise : whiteNoise(n + 1000, 20240611)) {
    const double x = 1.3 * previous - 0.6 * beforeThat + noise;
    beforeThat = previous, previous = x;
    series.push_back(x);
  }
  series.erase(series.begin(), series.begin() + 1000);  // the start-up transient
  double mean = 0;
  for (const double x : series) mean += x / static_cast<double>(n);
  for (double& x : series) x -= mean;
  return series;
}

TEST(BurgModel, RecoversAKnownSecondOrderProcess) {
  const ArModel model = burgModel(ar2Series(20000), 2);
  ASSERT_EQ(model.coefficients.size(), 2u);
  EXPECT_NEAR(model.coefficients[0], -1.3, 0.02);
  EXPECT_NEAR(model.coefficients[1], 0.6, 0.02);
  EXPECT_NEAR(model.errorPower, 1, 0.03);
}

TEST(BurgModel, FirstOrderOnAShortSeriesMatchesTheHandComputedModelAndDensity) {
  // k = -2 (2 - 2 + 2) / ((4 + 1 + 4) + (1 + 4 + 1)) = -4/15;
  // E = mean(x^2) (1 - k^2) = 2.5 * 209/225; |A|^2 = 1 + k^2 + 2 k cos w.
  const ArModel model = burgModel(std::vector<double>{1, 2, -1, -2}, 1);
  ASSERT_EQ(model.coefficients.size(), 1u);
  const double k = -4.0 / 15;
  EXPECT_NEAR(model.coefficients[0], k, 1e-15);
  EXPECT_NEAR(model.errorPower, 2.5 * 209 / 225, 1e-14);

  const double e = model.errorPower;
  const Spectrum spectrum = arSpectrum(model, 4, 8);
  ASSERT_EQ(spectrum.frequenciesHz.size(), 5u);
  EXPECT_DOUBLE_EQ(spectrum.frequenciesHz[2], 1);
  EXPECT_DOUBLE_EQ(spectrum.frequenciesHz[4], 2);
  EXPECT_NEAR(spectrum.densitiesMs2PerHz[0], e / (4 * (1 + k) * (1 + k)), 1e-14);
  EXPECT_NEAR(spectrum.densitiesMs2PerHz[2], 2 * e / (4 * (1 + k * k)), 1e-14);
  EXPECT_NEAR(spectrum.densitiesMs2PerHz[4], e / (4 * (1 - k) * (1 - k)), 1e-14);
}

TEST(ArSpectrum, SixteenthOrderDensityIntegratesToTheVariance) {
  const std::vector<double> series = ar2Series(20000);
  double variance = 0;
  for (const double x : series) variance += x * x / static_cast<double>(series.size());
  const Spectrum spectrum = arSpectrum(burgModel(series, 16), 4, 4096);
  ASSERT_EQ(spectrum.frequenciesHz.size(), 2049u);
  EXPECT_NEAR(bandPower(spectrum), variance, 0.02 * variance);
}

TEST(BurgModel, ASeriesOfZerosHasAZeroModelAndDensity) {
  const ArModel model = burgModel(std::vector<double>(50, 0.0), 16);
  ASSERT_EQ(model.coefficients.size(), 16u);
  for (const double a : model.coefficients) EXPECT_EQ(a, 0);
  EXPECT_EQ(model.errorPower, 0);
  for (const double density : arSpectrum(model, 4, 64).densitiesMs2PerHz) EXPECT_EQ(density, 0);
}

}  // namespace
}  // namespace rrscope::hrv
