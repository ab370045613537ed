#pragma once

#include <cstdint>

#include "analysis/run_values.h"
#include "charts/chart_surface.h"

namespace rrscope {

// The chart and statistics stages of a run, in the order the run calls them.
// Clearing the five surfaces comes first, before the file is loaded.
void clearCharts(RunContext& run);
void drawRhythmogramFrame(RunContext& run);
void drawScattergramFrame(RunContext& run);
void plotIntervals(RunContext& run);
void showRhythmStatistics(RunContext& run);
void drawPulseChart(RunContext& run);
void showIntervalCount(RunContext& run);
void drawHistogram(RunContext& run);
void drawCorrelationChart(RunContext& run);

// The markers of RR interval `interval` (1 to peakEnd - 3) that plotIntervals
// draws, the rhythmogram's first. The scattergram's may lower the shift in
// Text9 to the largest the series allows.
void plotRhythmogramPoint(RunContext& run, std::int64_t interval);
void plotScattergramPoint(RunContext& run, std::int64_t interval);

}  // namespace rrscope
