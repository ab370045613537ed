// The histogram and the correlation chart: accumulated edges, bar heights,
// labels and the 16-bit counters.
#include <gtest/gtest.h>

#include <map>

#include "chart_support.h"

namespace rrscope::chart_tests {
namespace {

// Bar number (from 1) to top, for the bars that rise above their foot at 3400.
std::map<int, double> risenBars(const Drawing& drawing) {
  std::map<int, double> risen;
  for (std::size_t k = 0; k < drawing.bars.size(); ++k) {
    if (drawing.bars[k].second != 3400) risen[int(k) + 1] = drawing.bars[k].second;
  }
  return risen;
}

TEST(Histogram, ValuesOnAccumulatedEdgesBelongToNoBin) {
  const std::pair<double, std::map<int, double>> cases[] = {
      {1920, {}}, {2040, {}}, {2160, {{3, -5600}}}, {1800, {}}, {7200, {{45, -5600}}}, {7230, {}},
  };
  for (const auto& [interval, risen] : cases) {
    StageRun s;
    s.setIntervals({interval});
    charts::drawHistogram(s.run);
    EXPECT_EQ(risenBars(s.drawing(analysis::Picture::Picture4)), risen) << interval;
  }
}

TEST(Histogram, BarsAreSharesOfAllIntervalsRoundedHalfToEvenUnderRateLabels) {
  // 12 intervals of 0.3 s fall in no bin but count in the shares 1/16, 3/16.
  StageRun s;
  std::vector<double> intervals(12, 1800);
  intervals.insert(intervals.end(), {4860, 3030, 3030, 3030});
  s.setIntervals(intervals);
  charts::drawHistogram(s.run);
  const Drawing drawing = s.drawing(analysis::Picture::Picture4);
  EXPECT_EQ(risenBars(drawing), (std::map<int, double>{{11, 1712}, {26, 2838}}));
  EXPECT_EQ(drawing.bars[25].first, 1500);
  std::vector<std::string> labels;
  for (const auto& [at, text] : drawing.texts) labels.push_back(text);
  EXPECT_EQ(labels, (std::vector<std::string>{" 200", " 120", " 85", " 66", " 54"}));
}

TEST(CorrelationChart, DifferencesCountInTheOverlappingWindowsThatHoldThem) {
  const struct {
    std::vector<double> intervals;
    std::map<int, double> risen;
  } cases[] = {
      {{6000, 6300}, {{81, 200}, {82, 200}}},  // one difference, a share of 1/2
      {{6300, 6000}, {{79, 200}, {80, 200}}},
      {{6000, 6600}, {{82, 200}, {83, 200}}},
      {{30000, 6000}, {}},  // -4 s
      {{30000, 6060}, {{1, 200}}},
      {{6000, 30300}, {}},  // 4.05 s
      {{6000, 30240}, {{160, 200}}},
      {{6000, 6000, 6000, 6000, 6000}, {{80, -1720}, {81, -1720}}},
  };
  for (const auto& c : cases) {
    StageRun s;
    s.setIntervals(c.intervals);
    charts::drawCorrelationChart(s.run);
    EXPECT_EQ(risenBars(s.drawing(analysis::Picture::Picture5)), c.risen) << c.intervals[1];
  }
}

TEST(DistributionCharts, CountersOverflowAbove32767WithEarlierBarsDrawn) {
  const struct {
    void (*stage)(analysis::RunContext&);
    analysis::Picture picture;
    std::size_t intervals;
    bool overflows;
    std::size_t barsDrawn;
  } cases[] = {
      {charts::drawHistogram, analysis::Picture::Picture4, 32767, false, 45},
      {charts::drawHistogram, analysis::Picture::Picture4, 32768, true, 25},
      {charts::drawCorrelationChart, analysis::Picture::Picture5, 32768, false, 160},
      {charts::drawCorrelationChart, analysis::Picture::Picture5, 32769, true, 79},
  };
  for (const auto& c : cases) {
    StageRun s;
    s.setIntervals(std::vector<double>(c.intervals, 4860));
    const auto stop = s.stopOf(c.stage);
    EXPECT_EQ(stop, c.overflows ? std::optional(analysis::ErrorKind::overflow) : std::nullopt);
    EXPECT_EQ(s.drawing(c.picture).bars.size(), c.barsDrawn) << c.intervals;
  }
}

}  // namespace
}  // namespace rrscope::chart_tests
