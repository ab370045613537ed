#include "charts/run.h"

#include <array>
#include <new>

#include "analysis/run_stages.h"
#include "charts/chart_stages.h"

namespace rrscope::charts {
namespace {

constexpr std::array<Stage, 16> kStages = {{
    {"enableRefresh", analysis::enableRefresh, true, false},
    {"resetDebugPage", analysis::resetDebugPage, true, false},
    {"takeSampleCount", analysis::takeSampleCount, false, true},
    {"clearCharts", clearCharts, true, true},
    {"loadSampleFile", analysis::loadSampleFile, true, false},
    {"readDetectionParameters", analysis::readDetectionParameters, true, true},
    {"detectPeaks", analysis::detectPeaks, true, true},
    {"formRRSeries", analysis::formRRSeries, true, true},
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

std::optional<analysis::RunReport> runAnalysis(RunEntry entry, analysis::AnalysisState& state,
                                               analysis::RunWindow& window) {
  analysis::RunContext run{state, window, analysis::RunValues{}};
  for (const Stage& stage : kStages) {
    if (!(entry == RunEntry::command1 ? stage.command1 : stage.command2)) continue;
    try {
      stage.execute(run);
    } catch (const analysis::RunError& error) {
      return analysis::RunReport{std::string(stage.name), error.facts()};
    } catch (const std::bad_alloc&) {
      // What the stage held is freed by now, and the state keeps what the
      // stages before it left, the loaded samples included.
      return analysis::RunReport{std::string(stage.name),
                                 {.cause = analysis::ErrorCause::outOfMemory}};
    }
  }
  return std::nullopt;
}

}  // namespace rrscope::charts
