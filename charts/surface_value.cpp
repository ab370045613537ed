#include "charts/surface_value.h"

#include "analysis/run_error.h"

namespace rrscope::charts {

void throwChartOverflow(const analysis::RunContext& run, ChartScale scale) {
  throw analysis::RunError({.cause = analysis::ErrorCause::chartBeyondRange,
                            .fields = {{scale.box, run.window.text(scale.box)}},
                            .chart = scale.chart});
}

}  // namespace rrscope::charts
