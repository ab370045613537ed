#pragma once

#include "analysis/run_values.h"

namespace rrscope {

// The chart and statistics stages of a run, in the order the run calls them.
void drawRhythmogramFrame(RunContext& run);
void drawScattergramFrame(RunContext& run);
void plotIntervals(RunContext& run);
void showRhythmStatistics(RunContext& run);
void drawPulseChart(RunContext& run);
void showIntervalCount(RunContext& run);
void drawHistogram(RunContext& run);
void drawCorrelationChart(RunContext& run);

}  // namespace rrscope
