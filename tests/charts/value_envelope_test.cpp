#include "charts/value_envelope.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

#include "statistics/tick_steps.h"

namespace rrscope {
namespace {

// Every value lands in exactly one column, so no peak is lost however many
// samples a column takes; with fewer values than columns each column still
// has one.
TEST(ValueEnvelope, KeepsEveryPeakAndCoversEveryColumn) {
  std::vector<std::int32_t> values(1000, 0);
  values[0] = -7;
  values[499] = 40;
  values[500] = -40;
  values[999] = 9;
  const std::vector<charts::ValueRange> ranges = charts::valueEnvelope(values, 10);
  ASSERT_EQ(ranges.size(), 10u);
  EXPECT_EQ(ranges[0].low, -7);
  EXPECT_EQ(ranges[4].high, 40);
  EXPECT_EQ(ranges[5].low, -40);
  EXPECT_EQ(ranges[9].high, 9);
  EXPECT_EQ(ranges[3].low, 0);
  EXPECT_EQ(ranges[3].high, 0);

  const std::vector<std::int32_t> three{1, 5, 3};
  const std::vector<charts::ValueRange> spread = charts::valueEnvelope(three, 7);
  ASSERT_EQ(spread.size(), 7u);
  for (const charts::ValueRange& range : spread) {
    EXPECT_EQ(range.low, range.high);
    EXPECT_TRUE(range.low == 1 || range.low == 5 || range.low == 3);
  }
  EXPECT_EQ(spread.front().low, 1);
  EXPECT_EQ(spread.back().low, 3);
  EXPECT_TRUE(charts::valueEnvelope({}, 5).empty());
  EXPECT_TRUE(charts::valueEnvelope(three, 0).empty());
}

// The charts of a recording place each value by its time: a place before
// the first column or beyond the last counts there, a fraction of a column
// counts in the column it falls in, and a column no value reaches stays
// empty rather than showing a range of nothing.
TEST(ColumnEnvelope, PlacesEachValueByItsColumnAndLeavesGapsEmpty) {
  const std::vector<double> values{5, 1, 9, 4, 7, 3};
  const std::vector<double> places{-3.5, 0.2, 0.9, 2.99, 3.0, 1e300};
  const auto ranges = statistics::columnEnvelope(std::span<const double>(values), 5,
                                                 [&](std::size_t i) { return places[i]; });
  ASSERT_EQ(ranges.size(), 5u);
  struct Expected {
    std::size_t column;
    double low, high;
  };
  for (const Expected& e :
       {Expected{0, 1, 9}, Expected{2, 4, 4}, Expected{3, 7, 7}, Expected{4, 3, 3}}) {
    EXPECT_FALSE(ranges[e.column].empty()) << e.column;
    EXPECT_EQ(ranges[e.column].low, e.low) << e.column;
    EXPECT_EQ(ranges[e.column].high, e.high) << e.column;
  }
  EXPECT_TRUE(ranges[1].empty());
  EXPECT_TRUE(statistics::columnEnvelope(std::span<const double>(values), 0, [](std::size_t) {
                return 0.0;
              }).empty());
}

// Axis steps come from a ladder: the first that keeps the ticks at most as
// many as asked, its last step when none does, and a decimal ladder of
// 1, 2 and 5 at every power of ten.
TEST(TickSteps, TheFirstStepOfTheLadderThatIsLongEnough) {
  constexpr std::array<double, 3> kLadder{1, 2, 5};
  struct Case {
    double least, unit, step;
  };
  for (const Case& c : {Case{0.5, 1, 1}, Case{2, 1, 2}, Case{2.01, 1, 5}, Case{40, 1, 5},
                        Case{130, 60, 300}, Case{1e9, 60, 300}}) {
    EXPECT_EQ(statistics::firstStepAtLeast(c.least, kLadder, c.unit), c.step) << c.least;
  }
  struct Decimal {
    double span;
    int count;
    double step;
  };
  for (const Decimal& d : {Decimal{10, 6, 2}, Decimal{100, 10, 10}, Decimal{0.03, 6, 0.005},
                           Decimal{950, 6, 200}, Decimal{9.9, 1, 10}}) {
    EXPECT_DOUBLE_EQ(statistics::decimalStep(d.span, d.count), d.step) << d.span;
  }
}

}  // namespace
}  // namespace rrscope
