#include "charts/run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "bounded_child.h"
#include "charts/recording_window.h"
#include "temp_folder.h"

namespace rrscope {
namespace {

class RunOnFiles : public ::testing::Test {
 protected:
  std::optional<analysis::RunReport> run(charts::RunEntry entry, const std::string& path = "") {
    window.setNextFile(path);
    return charts::runAnalysis(entry, state, window);
  }
  std::optional<analysis::RunReport> command1(const std::string& path) {
    return run(charts::RunEntry::command1, path);
  }

  test::TempFolder folder;
  analysis::AnalysisState state;
  charts::RecordingWindow window;
};

TEST_F(RunOnFiles, SamShowsTheNumberOfSamples) {
  std::string samples;
  for (int i = 0; i < 1200; ++i) samples += "0\n";
  command1(folder.write("flat.txt", samples));
  EXPECT_EQ(window.caption(analysis::Caption::sam), "1200");
  command1(folder.write("empty.txt", ""));
  EXPECT_EQ(window.caption(analysis::Caption::sam), "0");
}

TEST_F(RunOnFiles, AFailedLoadKeepsWhatWasLoadedAndWhatTheFirstStagesDid) {
  command1(folder.write("eight.txt", "1\n2\n3\n4\n5\n6\n7\n8\n"));
  state.DebugPage = 7;
  window.surface(analysis::Picture::Picture3).Line(0, 0, 10, 10, charts::kRed);

  const auto report = command1(folder.path() + "/missing.txt");
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->kind(), analysis::ErrorKind::cannotOpenFile);
  EXPECT_EQ(report->stage, "loadSampleFile");
  EXPECT_TRUE(window.refreshEnabled());
  EXPECT_EQ(state.DebugPage, 2);
  for (const analysis::Picture picture :
       {analysis::Picture::Picture1, analysis::Picture::Picture3, analysis::Picture::Picture5}) {
    EXPECT_EQ(window.displayList(picture).ops(), std::vector{charts::DisplayList::Op::Cls});
  }
  EXPECT_EQ(window.caption(analysis::Caption::sam), "8");
  EXPECT_EQ(state.SampleLines.line(8), "8");
}

TEST_F(RunOnFiles, AShorterFileReplacesTheLongerOneWhole) {
  command1(folder.write("eight.txt", "1\n2\n3\n4\n5\n6\n7\n8\n"));
  command1(folder.write("five.txt", "a\nb\nc\nd\ne\n"));
  EXPECT_EQ(window.caption(analysis::Caption::sam), "5");
  EXPECT_EQ(state.SampleLines.line(5), "e");
  EXPECT_EQ(state.SampleLines.line(6), "");
}

TEST_F(RunOnFiles, Command2AnalysesTheSamplesThatSamCounts) {
  // The peak on the last line is found only when the refresh run counts it.
  command1(folder.write("last.txt", "0\n0\n0\n0.9\n"));
  EXPECT_EQ(state.PeakTimes.at(1), 4);
  state.PeakTimes.clear();
  state.DebugPage = 5;
  window.setText(analysis::TextBox::Text1, "0.95");
  charts::runAnalysis(charts::RunEntry::command2, state, window);
  EXPECT_EQ(state.PeakTimes.at(1), 0);  // the new threshold finds nothing
  window.setText(analysis::TextBox::Text1, "0.5");
  charts::runAnalysis(charts::RunEntry::command2, state, window);
  EXPECT_EQ(state.PeakTimes.at(1), 4);
  EXPECT_EQ(state.DebugPage, 5);
  EXPECT_EQ(window.dialogsShown(), 1);
}

// An allocation that fails stops the run like any error, and the samples
// loaded before stay for the next run.
TEST_F(RunOnFiles, RunningOutOfMemoryIsAReportThatKeepsTheSamples) {
  if (!test::kAddressSpaceCanBeBounded) GTEST_SKIP() << "this build cannot bound its memory";
  const std::string eight = folder.write("eight.txt", "1\n2\n3\n4\n5\n6\n7\n8\n");
  const std::string large = folder.write("large.txt", "");
  ASSERT_EQ(::truncate(large.c_str(), off_t{1} << 30), 0);

  const test::ChildEnd end = test::runBounded([&] {
    command1(eight);
    test::setLimit(RLIMIT_AS, test::addressSpaceInUse() + (std::size_t{64} << 20));
    const auto report = command1(large);
    if (!report) return std::string("no report");
    const auto refresh = charts::runAnalysis(charts::RunEntry::command2, state, window);
    return std::string(analysis::errorKindKey(report->kind())) + " in " + report->stage + "; sam " +
           window.caption(analysis::Caption::sam) + ", line 8 " +
           std::string(state.SampleLines.line(8)) + "; refresh " +
           (refresh ? std::string(analysis::errorKindKey(refresh->kind())) : "completed");
  });
  ASSERT_TRUE(end.finished) << "ended by signal " << end.signal;
  EXPECT_EQ(end.text,
            "out-of-memory in loadSampleFile; sam 8, line 8 8; refresh subscript-out-of-range");
}

TEST_F(RunOnFiles, TooFewPeaksSaysWhetherThereWereSamplesToSearch) {
  // Refresh before any file was loaded: the first open was cancelled.
  EXPECT_EQ(run(charts::RunEntry::command1)->facts.cause, analysis::ErrorCause::noFileChosen);
  auto report = run(charts::RunEntry::command2);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->facts.cause, analysis::ErrorCause::noFileLoaded);
  EXPECT_EQ(report->kind(), analysis::ErrorKind::subscriptOutOfRange);
  EXPECT_EQ(report->stage, "showRhythmStatistics");

  for (const charts::RunEntry entry : {charts::RunEntry::command1, charts::RunEntry::command2}) {
    report = run(entry, folder.write("empty.txt", ""));
    ASSERT_TRUE(report);
    EXPECT_EQ(report->facts.cause, analysis::ErrorCause::noSamples);
  }

  window.setText(analysis::TextBox::Text1, "5");
  report = run(charts::RunEntry::command1, folder.write("low.txt", "1\n2\n1\n"));
  ASSERT_TRUE(report);
  EXPECT_EQ(report->facts.cause, analysis::ErrorCause::tooFewPeaks);
  EXPECT_EQ(report->facts.count, 0);
  EXPECT_EQ(report->facts.fields.at(0).text, "5");
}

}  // namespace
}  // namespace rrscope
