// The correlation chart on Picture5: the differences between successive RR
// intervals counted into overlapping windows, each bar a share of the
// analysed intervals.
#include <cmath>
#include <string>

#include "charts/bar_chart.h"
#include "charts/chart_constants.h"
#include "charts/chart_stages.h"
#include "charts/correlation_windows.h"
#include "text/number_text.h"

namespace rrscope::charts {
namespace {

constexpr double kFullShare = 6400;  // bar height for a count equal to the intervals
constexpr int kTickDotCount = 180;

// A difference of `seconds` on the horizontal axis: 0 s at 1500.
double differenceX(double seconds) {
  return 500 * seconds + 1500;
}

// Each interval is turned into seconds before the two are subtracted.
CorrelationWindows countDifferences(const analysis::RunContext& run, std::int64_t intervals) {
  CorrelationWindows windows;
  const analysis::NumberArray& rr = run.state.RRIntervals;
  for (std::int64_t j = 1; j <= intervals - 1; ++j) {
    windows.add(rr.at(j + 1) / analysis::kSamplesPerSecond -
                rr.at(j) / analysis::kSamplesPerSecond);
  }
  return windows;
}

void drawBars(const analysis::RunContext& run, ChartSurface& surface,
              const CorrelationWindows& windows, std::int64_t intervals) {
  for (int window = 1; window <= CorrelationWindows::kWindows; ++window) {
    checkBarCounter(run, windows.count(window), analysis::Picture::Picture5,
                    windows.centre(window));
    // The share is of the intervals, not of the one fewer differences. A bar
    // stands at its window's centre.
    const double share =
        static_cast<double>(windows.count(window)) / static_cast<double>(intervals);
    drawAxisAndBar(surface, -1900, 700, differenceX(windows.centre(window)), share, kFullShare);
  }
}

// Tick dots every 0.5 s from -4 s on; most lie right of the drawing area.
void drawTicks(ChartSurface& surface) {
  double seconds = -4;
  for (int k = 1; k <= kTickDotCount; ++k) {
    drawTickDot(surface, differenceX(seconds));
    seconds += 0.5;
  }
}

void drawLabels(ChartSurface& surface) {
  double seconds = -4;
  for (int k = 1; k <= 10; ++k) {
    printAxisNumber(surface, differenceX(seconds) - 150, seconds);
    seconds += 1;
  }
}

}  // namespace

void drawCorrelationChart(analysis::RunContext& run) {
  ChartSurface& surface = run.window.surface(analysis::Picture::Picture5);
  const std::int64_t intervals = run.values.peakEnd - 3;
  drawBars(run, surface, countDifferences(run, intervals), intervals);
  drawTicks(surface);
  drawLabels(surface);
}

}  // namespace rrscope::charts
