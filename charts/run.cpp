#include "charts/run.h"

#include <array>
#include <new>

#include "analysis/run_stages.h"
#include "charts/chart_stages.h"

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
      return RunReport{std::string(stage.name), error.facts()};
    } catch (const std::bad_alloc&) {
      // What the stage held is freed by now, and the state keeps what the
      // stages before it left, the loaded samples included.
      return RunReport{std::string(stage.name), {.cause = ErrorCause::outOfMemory}};
    }
  }
  return std::nullopt;
}

}  // namespace rrscope
