#include "charts/chart_stages.h"

namespace rrscope::charts {

// One pass over the analysed intervals draws both markers of each, so the
// scattergram's shift cap acts while the rhythmogram is still being drawn.
void plotIntervals(analysis::RunContext& run) {
  for (std::int64_t i = 1; i <= run.values.peakEnd - 3; ++i) {
    plotRhythmogramPoint(run, i);
    plotScattergramPoint(run, i);
  }
}

}  // namespace rrscope::charts
