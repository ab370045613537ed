// The histogram on Picture4: the RR intervals by length in 45 bins, each bar
// the bin's share of all analysed intervals, labelled in heart rate.
#include <cmath>
#include <string>

#include "charts/bar_chart.h"
#include "charts/chart_constants.h"
#include "charts/chart_stages.h"
#include "charts/histogram_bins.h"
#include "text/number_text.h"

namespace rrscope::charts {
namespace {

constexpr double kFullShare = 9000;  // bar height for all intervals in one bin

// A length of `seconds` on the horizontal axis: 0.3 s at 250, 1.2 s at 2500.
double lengthX(double seconds) {
  return 2500 * seconds - 500;
}

HistogramBins countIntervals(const analysis::RunContext& run, std::int64_t intervals) {
  HistogramBins bins;
  for (std::int64_t j = 1; j <= intervals; ++j) {
    bins.add(run.state.RRIntervals.at(j) / analysis::kSamplesPerSecond);
  }
  return bins;
}

void drawBars(const analysis::RunContext& run, ChartSurface& surface, const HistogramBins& bins,
              std::int64_t intervals) {
  for (int bin = 1; bin <= HistogramBins::kBins; ++bin) {
    checkBarCounter(run, bins.count(bin), analysis::Picture::Picture4, bins.lowerEdge(bin));
    // The axis is drawn again before every bar, as the bars are drawn one
    // bin at a time. A bar stands at its bin's lower edge.
    const double share = static_cast<double>(bins.count(bin)) / static_cast<double>(intervals);
    drawAxisAndBar(surface, 100, 2700, lengthX(bins.lowerEdge(bin)), share, kFullShare);
  }
}

// Tick dots every 0.1 s from 0.3 s to 1.2 s.
void drawTicks(ChartSurface& surface) {
  double seconds = 0.3;
  for (int k = 1; k <= 10; ++k) {
    drawTickDot(surface, lengthX(seconds));
    seconds += 0.1;
  }
}

// The heart rate that belongs to 0.3, 0.5, ... 1.1 s, rounded down: the
// accumulated 0.9 and 1.1 lie just below, which still gives 66 and 54.
void drawRateLabels(ChartSurface& surface) {
  double seconds = 0.3;
  for (int k = 1; k <= 5; ++k) {
    printAxisNumber(surface, lengthX(seconds) - 150, std::floor(60 / seconds));
    seconds += 0.2;
  }
}

}  // namespace

void drawHistogram(analysis::RunContext& run) {
  ChartSurface& surface = run.window.surface(analysis::Picture::Picture4);
  const std::int64_t intervals = run.values.peakEnd - 3;
  drawBars(run, surface, countIntervals(run, intervals), intervals);
  drawTicks(surface);
  drawRateLabels(surface);
}

}  // namespace rrscope::charts
