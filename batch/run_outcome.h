#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "analysis/analysis_state.h"
#include "analysis/run_error.h"
#include "analysis/run_window.h"
#include "batch/batch_options.h"
#include "charts/display_list.h"

namespace rrscope::batch {

// What one file's run left behind, whichever window it ran in: the texts
// and captions as the window shows them, the drawings of its five surfaces
// and the analysis state.
struct RunOutcome {
  std::string_view file;
  const ParameterTexts& parameters;  // the texts set before the run
  const RunWindow& window;
  std::array<const DisplayList*, 5> displayLists;
  const AnalysisState& state;
  const std::optional<RunReport>& error;
};

}  // namespace rrscope::batch
