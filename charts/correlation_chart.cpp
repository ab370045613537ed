// The correlation chart on Picture5: the differences between successive RR
// intervals counted into overlapping windows, each bar a share of the
// analysed intervals.
#include <cmath>
#include <string>

#include "analysis/run_error.h"
#include "charts/chart_constants.h"
#include "charts/chart_stages.h"
#include "charts/correlation_windows.h"
#include "text/number_text.h"

namespace rrscope {
namespace {

constexpr std::int64_t kCounterLimit = 32767;  // the window counter is a 16-bit integer
constexpr double kBarFoot = 3400;
constexpr double kFullShare = 6400;  // bar height for a count equal to the intervals
constexpr double kAxisY = 3420;
constexpr double kTickY = 3390;
constexpr double kLabelY = 3500;
constexpr double kTickRadius = 20;
constexpr int kAxisWidth = 2;
constexpr int kBarWidth = 4;
constexpr int kTickDotCount = 180;

// A difference of `seconds` on the horizontal axis: 0 s at 1500.
double differenceX(double seconds) {
  return 500 * seconds + 1500;
}

// Each interval is turned into seconds before the two are subtracted.
CorrelationWindows countDifferences(const RunContext& run, std::int64_t intervals) {
  CorrelationWindows windows;
  const NumberArray& rr = run.state.RRIntervals;
  for (std::int64_t j = 1; j <= intervals - 1; ++j) {
    windows.add(rr.at(j + 1) / kSamplesPerSecond - rr.at(j) / kSamplesPerSecond);
  }
  return windows;
}

void checkCounter(const CorrelationWindows& windows, int window) {
  if (windows.count(window) <= kCounterLimit) return;
  throw RunError(ErrorKind::overflow,
                 "more than 32767 interval differences fall into the correlation window around" +
                     text::signedNumberText(windows.centre(window)) +
                     " s, more than its counter holds; analyse a shorter recording");
}

void drawBars(ChartSurface& surface, const CorrelationWindows& windows, std::int64_t intervals) {
  for (int window = 1; window <= CorrelationWindows::kWindows; ++window) {
    checkCounter(windows, window);
    surface.DrawWidth(kAxisWidth);
    surface.Line(-1900, kAxisY, 700, kAxisY, kRed);
    surface.DrawWidth(kBarWidth);
    const auto x = static_cast<float>(differenceX(windows.centre(window)));
    // The share is of the intervals, not of the one fewer differences.
    const double share =
        static_cast<double>(windows.count(window)) / static_cast<double>(intervals);
    const auto top = static_cast<float>(std::nearbyint(kBarFoot - kFullShare * share));
    surface.Line(x, top, x, kBarFoot, kRed);
  }
}

// Tick dots every 0.5 s from -4 s on; most lie right of the drawing area.
void drawTicks(ChartSurface& surface) {
  double seconds = -4;
  for (int k = 1; k <= kTickDotCount; ++k) {
    surface.DrawWidth(kAxisWidth);
    surface.CurrentX(static_cast<float>(differenceX(seconds)));
    surface.CurrentY(kTickY);
    surface.Circle(kTickRadius, kBlue);
    seconds += 0.5;
  }
}

void drawLabels(ChartSurface& surface) {
  double seconds = -4;
  for (int k = 1; k <= 10; ++k) {
    surface.CurrentY(kLabelY);
    surface.CurrentX(static_cast<float>(differenceX(seconds) - 150));
    surface.Print(text::signedNumberText(seconds));
    seconds += 1;
  }
}

}  // namespace

void drawCorrelationChart(RunContext& run) {
  ChartSurface& surface = run.window.surface(Picture::Picture5);
  const std::int64_t intervals = run.values.peakEnd - 3;
  drawBars(surface, countDifferences(run, intervals), intervals);
  drawTicks(surface);
  drawLabels(surface);
}

}  // namespace rrscope
