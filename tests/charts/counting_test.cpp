// The single-pass counts against the scan the charts are defined by: every
// bin or window scans every value, with strict bounds and accumulated edges.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "charts/correlation_windows.h"
#include "charts/histogram_bins.h"

namespace rrscope {
namespace {

std::int64_t scanCount(const std::vector<double>& values, double lower, double upper) {
  return std::count_if(values.begin(), values.end(),
                       [&](double v) { return v > lower && v < upper; });
}

TEST(SinglePassCounting, EqualsThePerBinScanWithAccumulatedEdges) {
  // Every accumulated bound with its neighbouring doubles, interval lengths
  // and differences of whole samples, and random values.
  std::vector<double> values{-4.0, 4.05, 1e300, -1e300};
  const auto addAround = [&](double v) {
    values.insert(values.end(), {v, std::nextafter(v, -INFINITY), std::nextafter(v, INFINITY)});
  };
  for (double edge = 0.3; edge < 1.25; edge += 0.02) addAround(edge);
  for (double centre = -3.95; centre < 4.05; centre += 0.05) {
    for (const double bound : {centre - 0.05, centre, centre + 0.05}) addAround(bound);
  }
  for (int samples = 1700; samples <= 7400; ++samples) values.push_back(samples / 6000.0);
  for (int d = -24300; d <= 24300; d += 30) values.push_back((6000 + d) / 6000.0 - 1);
  std::mt19937_64 random(20240611);
  std::uniform_real_distribution<double> spread(-4.5, 4.5);
  for (int k = 0; k < 20000; ++k) values.push_back(spread(random));

  charts::HistogramBins bins;
  charts::CorrelationWindows windows;
  for (const double v : values) {
    bins.add(v);
    windows.add(v);
  }
  double lower = 0.3;
  for (int bin = 1; bin <= charts::HistogramBins::kBins; ++bin, lower += 0.02) {
    EXPECT_EQ(bins.count(bin), scanCount(values, lower, lower + 0.02)) << "bin " << bin;
  }
  double centre = -3.95;
  for (int window = 1; window <= charts::CorrelationWindows::kWindows; ++window, centre += 0.05) {
    EXPECT_EQ(windows.count(window), scanCount(values, centre - 0.05, centre + 0.05))
        << "window " << window;
  }
}

}  // namespace
}  // namespace rrscope
