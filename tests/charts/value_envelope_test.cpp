#include "charts/value_envelope.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace rrscope
