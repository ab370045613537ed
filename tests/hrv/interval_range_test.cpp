// A series with an interval no heart makes, from a damaged or hostile file:
// every measure is undefined at once, for a reason of its own, and nothing
// grows with the interval's length.
#include <chrono>
#include <cmath>
#include <vector>

#include "tests/hrv/hrv_test_support.h"

namespace rrscope::hrv {
namespace {

std::vector<double> normalWith(double absurd) {
  std::vector<double> intervals(400, 800);
  intervals[200] = absurd;
  return intervals;
}

void expectAllOutOfRange(const Measures& m) {
  for (const Measure measure : allMeasures()) {
    EXPECT_FALSE(m[measure].defined()) << measureKey(measure);
    EXPECT_EQ(m[measure].reason(), Undefined::intervalOutOfRange) << measureKey(measure);
  }
  EXPECT_TRUE(m.histogram.counts.empty());
  EXPECT_TRUE(m.spectrum.frequenciesHz.empty());
}

TEST(IntervalRange, AnIntervalOutside10MsToAnHourLeavesEveryMeasureUndefined) {
  const auto start = std::chrono::steady_clock::now();
  for (const double absurd : {1e308, 1e10, kMaxIntervalMs * 1.000001, 9.999, 1e-320}) {
    expectAllOutOfRange(computeMeasures(normalWith(absurd)));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  // Not a number or not positive keeps its own reason.
  expectUndefined(computeMeasures(normalWith(-1)), {Measure::meanNn, Measure::meanHr},
                  Undefined::nonPositiveInterval);
  EXPECT_EQ(undefinedText(Undefined::intervalOutOfRange), "an interval outside 10 ms to 3600 s");
}

TEST(IntervalRange, TheBoundsThemselvesAreIntervals) {
  EXPECT_TRUE(isValidInterval(kMinIntervalMs));
  EXPECT_TRUE(isValidInterval(kMaxIntervalMs));
  EXPECT_FALSE(isValidInterval(std::nan("")));
  EXPECT_TRUE(computeMeasures(normalWith(kMaxIntervalMs))[Measure::meanNn].defined());
  EXPECT_TRUE(computeMeasures(normalWith(kMinIntervalMs))[Measure::meanNn].defined());
}

TEST(IntervalRange, WindowsOfASeriesWithAnAbsurdIntervalAreNone) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(windowedMeasures(normalWith(1e308), WindowSpec{}).empty());
  EXPECT_TRUE(windowedMeasures(normalWith(1e10), WindowSpec{}).empty());
  const std::vector<double> intervals(10, 800);
  std::vector<double> ends;
  double end = 0;
  for (const double interval : intervals) ends.push_back(end += interval);
  EXPECT_TRUE(windowedMeasures(intervals, ends, 1e308 * 10, WindowSpec{}).empty());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(windowedMeasures(std::vector<double>(1000, 800), WindowSpec{}).size(), 17U);
}

}  // namespace
}  // namespace rrscope::hrv
