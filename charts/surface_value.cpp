#include "charts/surface_value.h"

#include "analysis/run_error.h"

namespace rrscope {

void throwChartOverflow(const RunContext& run, ChartScale scale) {
  throw RunError({.cause = ErrorCause::chartBeyondRange,
                  .fields = {{scale.box, run.window.text(scale.box)}},
                  .chart = scale.chart});
}

}  // namespace rrscope
