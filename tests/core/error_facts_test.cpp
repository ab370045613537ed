#include <gtest/gtest.h>

#include <string>

#include "analysis/run_error.h"
#include "charts/recording_window.h"
#include "charts/run.h"
#include "temp_folder.h"
#include "text/number_text.h"
#include "text/text_cut.h"

namespace rrscope {
namespace {

std::string repeated(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(TextCut, CutsAfterWholeCharactersOnly) {
  EXPECT_EQ(text::cutToCharacters(repeated("7", 40), 40), repeated("7", 40));
  EXPECT_EQ(text::cutToCharacters(repeated("7", 41), 40), repeated("7", 40) + "...");
  // Two bytes a letter: forty letters are eighty bytes, never seventy-nine.
  EXPECT_EQ(text::cutToCharacters(repeated("ж", 41), 40), repeated("ж", 40) + "...");
  EXPECT_EQ(text::cutToCharacters(repeated("1", 1) + repeated("ж", 45), 40),
            repeated("1", 1) + repeated("ж", 39) + "...");
  EXPECT_EQ(text::cutToCharacters(repeated("€", 3) + repeated("😀", 3), 4),
            repeated("€", 3) + "😀...");
  // A broken sequence is one character of the bytes it has; a stray
  // continuation byte is one of its own.
  EXPECT_EQ(text::cutToCharacters("\xD0\xD0\xB6z", 2), "\xD0\xD0\xB6...");
  EXPECT_EQ(text::cutToCharacters("\xB6\xB6z", 1), "\xB6...");
}

TEST(TextCut, AReportQuotesAtMostFortyCharactersOfEveryText) {
  const analysis::RunError error({.cause = analysis::ErrorCause::binOverflow,
                                  .fields = {{analysis::TextBox::Text1, repeated("я", 50)}},
                                  .text = repeated("ж", 50)});
  EXPECT_EQ(error.facts().text, repeated("ж", 40) + "...");
  EXPECT_EQ(error.facts().fields[0].text, repeated("я", 40) + "...");
}

TEST(ReportNumbers, NoiseAroundZeroAndRoundingToHundredths) {
  EXPECT_EQ(text::reportNumberText(-5.84254866708989E-15, 2), "0.00");
  EXPECT_EQ(text::reportNumberText(0.3, 2), "0.30");
  EXPECT_EQ(text::reportNumberText(-3.95, 2), "-3.95");
  EXPECT_EQ(text::reportNumberText(1e300, 0).size(), 301u);
}

class RunFacts : public ::testing::Test {
 protected:
  std::optional<analysis::RunReport> run(charts::RunEntry entry, const std::string& path = "") {
    window.setNextFile(path);
    return charts::runAnalysis(entry, state, window);
  }

  test::TempFolder folder;
  analysis::AnalysisState state;
  charts::RecordingWindow window;
};

TEST_F(RunFacts, TooFewPeaksSaysWhetherThereWereSamplesToSearch) {
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
