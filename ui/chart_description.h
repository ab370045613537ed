#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "analysis/analysis_state.h"
#include "analysis/run_error.h"
#include "charts/display_list.h"

namespace rrscope::ui {

// How much of a chart the last run drew.
enum class ChartFill { blank, partial, complete };

// A chart is complete when the run got past its last stage, partial when it
// stopped on the way with something drawn, and blank when only the clearing
// stands on its surface.
ChartFill chartFill(analysis::Picture chart, const charts::DisplayList& drawing,
                    const std::optional<analysis::RunReport>& stopped);

// What a chart shows, for a screen reader: "ритмограмма, 758 интервалов",
// "пульс, 30000 сэмплов", and empty for a blank chart. `shift` is the text
// of the shift box, which the scattergram pairs its intervals by.
std::string chartDescription(analysis::Picture chart, ChartFill fill,
                             const analysis::AnalysisState& state, std::string_view shift);

}  // namespace rrscope::ui
