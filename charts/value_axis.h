#pragma once

#include <functional>
#include <string_view>

#include "charts/chart_surface.h"

namespace rrscope {

// The axis of interval lengths along the left edge of the rhythmogram and the
// scattergram: 40 blue tick dots every 0.1 s at x = 10 and 30 labels at x = 20
// whose tops stand 90 twips above their dots. `scale` gives the twips per
// sample; it is asked anew for every dot and label, as the user sees it in its
// text box. `chart` and `advice` go into the message of an overflow.
void drawLengthAxisTicks(ChartSurface& surface, const std::function<double()>& scale,
                         std::string_view chart, std::string_view advice);

}  // namespace rrscope
