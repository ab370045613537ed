#pragma once

#include <cstdint>

#include "analysis/run_values.h"
#include "charts/chart_surface.h"

namespace rrscope::charts {

// The chart and statistics stages of a run, in the order the run calls them.
// Clearing the five surfaces comes first, before the file is loaded.
void clearCharts(analysis::RunContext& run);
void drawRhythmogramFrame(analysis::RunContext& run);
void drawScattergramFrame(analysis::RunContext& run);
void plotIntervals(analysis::RunContext& run);
void showRhythmStatistics(analysis::RunContext& run);
void drawPulseChart(analysis::RunContext& run);
void showIntervalCount(analysis::RunContext& run);
void drawHistogram(analysis::RunContext& run);
void drawCorrelationChart(analysis::RunContext& run);

// The markers of RR interval `interval` (1 to peakEnd - 3) that plotIntervals
// draws, the rhythmogram's first. The scattergram's may lower the shift in
// Text9 to the largest the series allows.
void plotRhythmogramPoint(analysis::RunContext& run, std::int64_t interval);
void plotScattergramPoint(analysis::RunContext& run, std::int64_t interval);

}  // namespace rrscope::charts
