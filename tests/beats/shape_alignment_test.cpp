#include "beats/shape_alignment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace rrscope::beats {
namespace {

// A QRS-like pulse, an R wave with a smaller S wave after it, centred at
// `centre` samples, sampled at `count` points; widths in samples as at
// 360 samples per second.
std::vector<double> pulse(std::size_t count, double centre) {
  std::vector<double> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double x = static_cast<double>(i) - centre;
    samples[i] = 1.2 * std::exp(-0.5 * (x / 3.6) * (x / 3.6)) -
                 0.4 * std::exp(-0.5 * ((x - 9) / 3.0) * ((x - 9) / 3.0));
  }
  return samples;
}

TEST(ShapeAlignment, RecoversAShiftBetweenSamples) {
  constexpr int h = 20, maxLag = 5;
  const std::vector<double> shape = pulse(2 * h + 1, h);
  for (const double shift : {-2.3, -0.5, 0.0, 0.4, 1.7, 3.85}) {
    // The segment is centred on the same nominal point as the shape, maxLag
    // samples further out on each side.
    const std::vector<double> segment = pulse(2 * h + 2 * maxLag + 1, h + maxLag + shift);
    const Alignment a = alignShape(shape, segment, maxLag);
    EXPECT_NEAR(a.lag, shift, 0.1) << "shift " << shift;
    EXPECT_GT(a.correlation, 0.95) << "shift " << shift;
  }
  // Scaled, offset and inverted copies: the correlation ignores gain and
  // baseline but not the sign.
  std::vector<double> scaled = pulse(2 * h + 2 * maxLag + 1, h + maxLag + 1.0);
  for (double& v : scaled) v = 0.3 * v + 2.0;
  const Alignment same = alignShape(shape, scaled, maxLag);
  EXPECT_NEAR(same.lag, 1.0, 0.1);
  EXPECT_NEAR(same.correlation, 1.0, 1e-9);
  std::vector<double> inverted = pulse(2 * h + 2 * maxLag + 1, h + maxLag);
  for (double& v : inverted) v = -v;
  EXPECT_LT(alignShape(shape, inverted, maxLag).correlation, 0.5);
}

TEST(ShapeAlignment, AFlatSegmentOrShapeCorrelatesWithNothing) {
  constexpr int h = 20, maxLag = 5;
  const std::vector<double> shape = pulse(2 * h + 1, h);
  const std::vector<double> flat(2 * h + 2 * maxLag + 1, 0.7);
  // Zero up to the rounding of the sums slid along the segment.
  EXPECT_NEAR(alignShape(shape, flat, maxLag).correlation, 0.0, 1e-6);
  const std::vector<double> flatShape(2 * h + 1, -0.2);
  EXPECT_NEAR(alignShape(flatShape, pulse(2 * h + 2 * maxLag + 1, h + maxLag), maxLag).correlation,
              0.0, 1e-6);
}

}  // namespace
}  // namespace rrscope::beats
