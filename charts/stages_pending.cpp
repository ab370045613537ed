// Placeholders until the chart stages are built; each stage draws nothing.
#include "charts/chart_stages.h"

namespace rrscope {

void drawRhythmogramFrame(RunContext&) {}
void drawScattergramFrame(RunContext&) {}
void plotIntervals(RunContext&) {}
void showRhythmStatistics(RunContext&) {}
void drawPulseChart(RunContext&) {}
void showIntervalCount(RunContext&) {}
void drawHistogram(RunContext&) {}
void drawCorrelationChart(RunContext&) {}

}  // namespace rrscope
