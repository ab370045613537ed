#include "analysis/run.h"

#include <array>

#include "analysis/run_stages.h"
#include "charts/chart_stages.h"
#include "text/numeric_parse.h"

namespace rrscope {
namespace {

constexpr std::array<Stage, 16> kStages = {{
    {"enableRefresh", enableRefresh, true, false},
    {"resetDebugPage", resetDebugPage, true, false},
    {"takeSampleCount", takeSampleCount, false, true},
    {"clearCharts", clearCharts, true, true},
    {"loadSampleFile", loadSampleFile, true, false},
    {"readDetectionParameters", readDetectionParameters, true, true},
    {"detectPeaks", detectPeaks, true, true},
    {"formRRSeries", formRRSeries, true, true},
    {"drawRhythmogramFrame", drawRhythmogramFrame, true, true},
    {"drawScattergramFrame", drawScattergramFrame, true, true},
    {"plotIntervals", plotIntervals, true, true},
    {"showRhythmStatistics", showRhythmStatistics, true, true},
    {"drawPulseChart", drawPulseChart, true, true},
    {"showIntervalCount", showIntervalCount, true, true},
    {"drawHistogram", drawHistogram, true, true},
    {"drawCorrelationChart", drawCorrelationChart, true, true},
}};

}  // namespace

std::span<const Stage> runStages() {
  return kStages;
}

std::optional<RunReport> runAnalysis(RunEntry entry, AnalysisState& state, RunWindow& window) {
  RunContext run{state, window, RunValues{}};
  for (const Stage& stage : kStages) {
    if (!(entry == RunEntry::command1 ? stage.command1 : stage.command2)) continue;
    try {
      stage.execute(run);
    } catch (const RunError& error) {
      return RunReport{error.kind(), std::string(stage.name), error.what()};
    }
  }
  return std::nullopt;
}

double parseTextBox(const RunContext& run, TextBox box, const char* meaning) {
  const std::string text = run.window.text(box);
  if (const auto value = text::numericParse(text)) return *value;
  throw RunError(ErrorKind::overflow, std::string("the ") + meaning + " \"" + text +
                                          "\" lies beyond the range of numbers; enter a "
                                          "smaller value");
}

double parseCaption(const RunContext& run, Caption label) {
  const std::string text = run.window.caption(label);
  if (const auto value = text::numericParse(text)) return *value;
  throw RunError(
      ErrorKind::overflow,
      "the caption \"" + text + "\" lies beyond the range of numbers; open the file again");
}

double parseSampleLine(const SampleLines& lines, std::int64_t position) {
  const std::string_view line = lines.line(position);
  if (const auto value = text::numericParse(line)) return *value;
  constexpr std::size_t kShown = 40;
  const std::string shown =
      line.size() > kShown ? std::string(line.substr(0, kShown)) + "..." : std::string(line);
  throw RunError(ErrorKind::overflow, "the sample on line " + std::to_string(position) + " (\"" +
                                          shown +
                                          "\") lies beyond the range of numbers; correct that "
                                          "line of the file");
}

}  // namespace rrscope
