#pragma once

#include <cstdint>

#include "analysis/run_values.h"
#include "charts/chart_surface.h"

namespace rrscope::charts {

// What the histogram and the correlation chart share: red bars standing on
// y = 3400 under a red axis at y = 3420, blue tick dots at y = 3390 and number
// labels with their tops at y = 3500.

// The bar counters are 16-bit integers; a count above 32767 stops the run
// with an overflow that names the chart and the bin by `seconds`, its lower
// edge or centre.
void checkBarCounter(const analysis::RunContext& run, std::int64_t count, analysis::Picture chart,
                     double seconds);

// Draws the axis from `axisLeft` to `axisRight` once more and then the bar at
// `x`, rising by `fullHeight` for a share of 1, its top rounded half to even.
void drawAxisAndBar(ChartSurface& surface, float axisLeft, float axisRight, double x, double share,
                    double fullHeight);

void drawTickDot(ChartSurface& surface, double x);
void printAxisNumber(ChartSurface& surface, double x, double number);

}  // namespace rrscope::charts
