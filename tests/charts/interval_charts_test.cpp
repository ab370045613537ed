// The pass over the intervals: the shift cap and the scattergram's partners.
#include <gtest/gtest.h>

#include "chart_support.h"

namespace rrscope::chart_tests {
namespace {

TEST(IntervalCharts, ShiftIsCappedToTheSeriesAndPartnersRoundHalfToEven) {
  const struct {
    int intervals;
    std::string shift, shiftAfter;
    std::vector<int> partners;  // 0: past the series, which reads 0
  } cases[] = {
      {10, "12", "9", {10, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {10, " 9 ", " 9 ", {10, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {10, "2.5", "2.5", {4, 4, 6, 6, 8, 8, 10, 10, 0, 0}},
      {10, "0", "0", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {1, "3", "0", {1}},
  };
  for (const auto& c : cases) {
    StageRun s;
    std::vector<double> intervals;
    for (int i = 1; i <= c.intervals; ++i) intervals.push_back(600.0 * i);
    s.setIntervals(intervals);
    s.window.setText(analysis::TextBox::Text9, c.shift);
    charts::plotIntervals(s.run);
    EXPECT_EQ(s.window.text(analysis::TextBox::Text9), c.shiftAfter) << c.shift;
    std::vector<int> partners;
    for (const auto& [x, y] : s.drawing(analysis::Picture::Picture2).red) {
      partners.push_back(static_cast<int>((3795 - y) / 300));  // y = 3795 - 0.5 * 600 * j
    }
    EXPECT_EQ(partners, c.partners) << c.shift;
    EXPECT_EQ(s.drawing(analysis::Picture::Picture1).red.size(), std::size_t(c.intervals));
  }
}

TEST(IntervalCharts, UnusableShiftStopsAfterTheFirstRhythmogramMarker) {
  const std::pair<std::string, analysis::ErrorKind> cases[] = {
      {"", analysis::ErrorKind::typeMismatch},
      {"1,5", analysis::ErrorKind::typeMismatch},
      {"40000", analysis::ErrorKind::overflow},
      {"-1", analysis::ErrorKind::subscriptOutOfRange},
  };
  for (const auto& [shift, kind] : cases) {
    StageRun s;
    s.setIntervals({6000, 6000, 6000});
    s.window.setText(analysis::TextBox::Text9, shift);
    EXPECT_EQ(s.stopOf(charts::plotIntervals), kind) << shift;
    EXPECT_EQ(s.drawing(analysis::Picture::Picture1).red.size(), 1u) << shift;
    EXPECT_TRUE(s.drawing(analysis::Picture::Picture2).red.empty()) << shift;
  }
}

}  // namespace
}  // namespace rrscope::chart_tests
