#include "statistics/order_statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using namespace rrscope::statistics;

// The conventions differ exactly where a caller would notice: an even count
// and a rank between two values.
TEST(OrderStatistics, EachConventionOnAnEvenCount) {
  const std::vector<double> values{4, 1, 3, 2};
  EXPECT_EQ(upperMedian(values), 3);
  EXPECT_EQ(midpointMedian(values), 2.5);
  EXPECT_EQ(upperMedian({}), 0);
  std::vector<double> copy = values;
  EXPECT_EQ(linearQuantileInPlace(copy, 0.5), 2.5);
  EXPECT_EQ(linearQuantileFromNearerEnd(copy, 0.25), 1.75);
  EXPECT_EQ(linearQuantileOfSorted(std::vector<double>{1, 2, 3, 4}, 1.0), 4);
}

// The detector's thresholds take the quantile of a sorted window in one
// place and of an unsorted copy in another; both must agree to the bit.
TEST(OrderStatistics, SelectedAndSortedQuantilesAgreeToTheBit) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-3, 3);
  for (const std::size_t n : {1u, 2u, 5u, 64u, 101u}) {
    std::vector<double> values(n);
    for (double& v : values) v = value(random);
    std::vector<double> sorted = values;
    std::ranges::sort(sorted);
    for (const double q : {0.0, 0.25, 0.5, 0.75, 0.9, 1.0}) {
      std::vector<double> copy = values;
      EXPECT_EQ(linearQuantileInPlace(copy, q), linearQuantileOfSorted(sorted, q)) << n << " " << q;
      copy = values;
      const double nearer = linearQuantileFromNearerEnd(copy, q);
      EXPECT_GE(nearer, sorted.front());
      EXPECT_LE(nearer, sorted.back());
    }
  }
}

}  // namespace
