// The figures of a run and where a run stops, from whole Command1 runs and
// from the statistics stage alone.
#include <gtest/gtest.h>

#include "chart_support.h"
#include "charts/run.h"

namespace rrscope::chart_tests {
namespace {

const std::set<std::int64_t> kElevenPeaks = {1000,  7000,  13000, 19000, 25000, 31000,
                                             37000, 43000, 49000, 55000, 61000};

struct WindowRun {
  analysis::AnalysisState state;
  charts::RecordingWindow window;

  std::optional<analysis::RunReport> open(const std::filesystem::path& file) {
    window.setNextFile(file.string());
    return charts::runAnalysis(charts::RunEntry::command1, state, window);
  }
  Drawing drawing(analysis::Picture picture) const { return Drawing(window.displayList(picture)); }
};

TEST(ChartRun, FiguresOfElevenPeaksThenTwoPeaks) {
  WindowRun w;
  ASSERT_EQ(w.open(writePeakFile("eleven", 61006, kElevenPeaks)), std::nullopt);
  const auto caption = [&](analysis::Caption label) { return w.window.caption(label); };
  EXPECT_EQ(caption(analysis::Caption::Label21), " 9");
  EXPECT_EQ(caption(analysis::Caption::Label22), "60");
  EXPECT_EQ(caption(analysis::Caption::Label8), "9");
  EXPECT_EQ(caption(analysis::Caption::Label16), "RRi+1,    с");
  // Dots at 1, 12, ... 60996, never at 61007, one past the file.
  EXPECT_EQ(w.drawing(analysis::Picture::Picture3).red.size(), 5546u);

  auto report = w.open(writePeakFile("two", 12000, {1000, 7000}));
  ASSERT_TRUE(report);
  EXPECT_EQ(report->kind(), analysis::ErrorKind::overflow);
  EXPECT_EQ(report->stage, "showRhythmStatistics");
  EXPECT_EQ(caption(analysis::Caption::Label21), " 0");
  EXPECT_EQ(caption(analysis::Caption::TR), " 2 c");
  EXPECT_EQ(caption(analysis::Caption::Label22), "60");  // from the run before
  EXPECT_EQ(caption(analysis::Caption::Label8), "9");
  EXPECT_EQ(w.window.displayList(analysis::Picture::Picture3).size(), 1u);  // only cleared
}

TEST(ChartRun, CoordinatesBeyondSinglePrecisionOverflow) {
  const struct {
    analysis::TextBox box;
    std::string text, stage;
  } cases[] = {
      {analysis::TextBox::Text4, "1e300", "drawRhythmogramFrame"},
      {analysis::TextBox::Text6, "1e300", "drawScattergramFrame"},
      {analysis::TextBox::Text3, "1e35", "plotIntervals"},
      {analysis::TextBox::Text7, "1e40", "drawPulseChart"},
      {analysis::TextBox::Text8, "1e37", "drawPulseChart"},
  };
  const auto file = writePeakFile("eleven", 61006, kElevenPeaks);
  for (const auto& c : cases) {
    WindowRun w;
    w.window.setText(c.box, c.text);
    const auto report = w.open(file);
    ASSERT_TRUE(report) << c.text;
    EXPECT_EQ(report->kind(), analysis::ErrorKind::overflow) << c.text;
    EXPECT_EQ(report->stage, c.stage) << c.text;
  }
}

TEST(RhythmStatistics, MeanHeartRateIsRoundedDownAndNeedsAnObservationTime) {
  StageRun s;  // 59,999 intervals in 60,000 s: 59.999 beats a minute
  std::vector<double> intervals(59998, 6000);
  intervals.push_back(12000);
  s.setIntervals(intervals);
  s.window.setCaption(analysis::Caption::sam, "60000");
  charts::showRhythmStatistics(s.run);
  EXPECT_EQ(s.window.caption(analysis::Caption::TR), " 10 c");
  EXPECT_EQ(s.window.caption(analysis::Caption::Label21), " 60000");
  EXPECT_EQ(s.window.caption(analysis::Caption::Label22), "59");

  StageRun still;
  still.setIntervals({0, 0});
  EXPECT_EQ(still.stopOf(charts::showRhythmStatistics), analysis::ErrorKind::divisionByZero);
  EXPECT_EQ(still.window.caption(analysis::Caption::Label21), " 0");
}

}  // namespace
}  // namespace rrscope::chart_tests
