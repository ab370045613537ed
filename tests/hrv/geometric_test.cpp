#include <limits>
#include <random>
#include <vector>

#include "tests/hrv/hrv_test_support.h"

namespace rrscope::hrv {
namespace {

// Intervals in the middle of the given bins, `counts[k]` of them in bin k.
std::vector<double> seriesWithHistogram(const std::vector<int>& counts) {
  std::vector<double> series;
  for (std::size_t bin = 0; bin < counts.size(); ++bin)
    series.insert(series.end(), counts[bin], (static_cast<double>(bin) + 0.5) * kBinWidthMs);
  return series;
}

// The least-squares triangle by trying every pair, as the measure defines it.
std::pair<std::size_t, std::size_t> bruteForceBase(const std::vector<std::int64_t>& counts) {
  std::size_t x = 0;
  for (std::size_t k = 1; k < counts.size(); ++k)
    if (counts[k] > counts[x]) x = k;
  const double y = static_cast<double>(counts[x]);
  double best = std::numeric_limits<double>::infinity();
  std::pair<std::size_t, std::size_t> base;
  for (std::size_t n = 0; n < x; ++n) {
    for (std::size_t m = x + 1; m <= counts.size(); ++m) {
      double error = 0;
      for (std::size_t k = 0; k < counts.size(); ++k) {
        double q = 0;
        if (k >= n && k <= x) q = y * static_cast<double>(k - n) / static_cast<double>(x - n);
        if (k > x && k < m) q = y * static_cast<double>(m - k) / static_cast<double>(m - x);
        error += (static_cast<double>(counts[k]) - q) * (static_cast<double>(counts[k]) - q);
      }
      if (error < best) best = error, base = {n, m};
    }
  }
  return base;
}

TEST(Geometric, APerfectTriangleGivesItsBaseAtAnyScale) {
  // Rises from 0 at bin 100 to 6 at bin 103, falls to 0 at bin 109.
  const std::vector<int> triangle{0, 2, 4, 6, 5, 4, 3, 2, 1};
  std::vector<int> counts(100, 0);
  counts.insert(counts.end(), triangle.begin(), triangle.end());
  for (const int scale : {1, 10, 1000}) {
    std::vector<int> scaled = counts;
    for (int& c : scaled) c *= scale;
    const Measures m = computeMeasures(seriesWithHistogram(scaled));
    EXPECT_DOUBLE_EQ(valueOf(m, Measure::tinn), 9 * kBinWidthMs) << scale;
    ASSERT_TRUE(m.triangle);
    EXPECT_DOUBLE_EQ(m.triangle->nMs, 100 * kBinWidthMs);
    EXPECT_DOUBLE_EQ(m.triangle->xMs, 103 * kBinWidthMs);
    EXPECT_DOUBLE_EQ(m.triangle->mMs, 109 * kBinWidthMs);
    EXPECT_EQ(m.triangle->y, 6 * scale);
    EXPECT_DOUBLE_EQ(valueOf(m, Measure::hti), 27.0 / 6);
  }
}

TEST(Geometric, TheTriangleIsTheLeastSquaresOneOverAllPairs) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 40; ++trial) {
    std::normal_distribution<double> interval(800, 20 + trial * 3);
    std::vector<double> series(200 + trial * 50);
    for (double& x : series) x = std::max(300.0, interval(random));
    const Measures m = computeMeasures(series);
    const auto [n, mEdge] = bruteForceBase(m.histogram.counts);
    ASSERT_TRUE(m.triangle);
    EXPECT_DOUBLE_EQ(m.triangle->nMs, static_cast<double>(n) * kBinWidthMs) << trial;
    EXPECT_DOUBLE_EQ(m.triangle->mMs, static_cast<double>(mEdge) * kBinWidthMs) << trial;
  }
}

TEST(Geometric, BinsAreAnchoredAtZeroAndTiesGoToTheFirstBin) {
  // 23.4375 lies on the edge of bin 3; two bins of two intervals each tie.
  const std::vector<double> series{23.4375, 31.225, 46.875, 46.925, 62.5, 65.625};
  const Measures m = computeMeasures(series);
  const std::vector<std::int64_t> expected{0, 0, 0, 2, 0, 0, 2, 0, 2};
  EXPECT_EQ(m.histogram.counts, expected);
  ASSERT_TRUE(m.triangle);
  EXPECT_DOUBLE_EQ(m.triangle->xMs, 3 * kBinWidthMs);
  EXPECT_DOUBLE_EQ(valueOf(m, Measure::hti), 3);
}

}  // namespace
}  // namespace rrscope::hrv
