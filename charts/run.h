#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "analysis/analysis_state.h"
#include "analysis/run_error.h"
#include "analysis/run_values.h"
#include "analysis/run_window.h"

namespace rrscope::charts {

// The run sits with the chart stages, as its table lists every stage from
// loading to the last chart.

// The two buttons that start a run: Command1 opens a file first, Command2
// analyses the loaded samples again.
enum class RunEntry { command1, command2 };

struct Stage {
  std::string_view name;
  void (*execute)(analysis::RunContext&);
  bool command1;  // part of a Command1 run
  bool command2;  // part of a Command2 run
};

// The sixteen stages of a run, in their order.
std::span<const Stage> runStages();

// Executes the stages of one run. Returns nothing when the run completes and
// the report of the error that stopped it otherwise; what the stages before
// the error did stays done.
std::optional<analysis::RunReport> runAnalysis(RunEntry entry, analysis::AnalysisState& state,
                                               analysis::RunWindow& window);

}  // namespace rrscope::charts
