#pragma once

#include "charts/chart_surface.h"
#include "charts/surface_value.h"

namespace rrscope::charts {

// The axis of interval lengths along the left edge of the rhythmogram and the
// scattergram: 40 blue tick dots every 0.1 s at x = 10 and 30 labels at x = 20
// whose tops stand 90 twips above their dots. The scale, in twips per sample,
// is read from its box anew for every dot and label, as the user sees it.
void drawLengthAxisTicks(ChartSurface& surface, const analysis::RunContext& run, ChartScale scale);

}  // namespace rrscope::charts
