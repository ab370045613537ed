// The histogram on Picture4: the RR intervals by length in 45 bins, each bar
// the bin's share of all analysed intervals, labelled in heart rate.
#include <cmath>
#include <string>

#include "analysis/run_error.h"
#include "charts/chart_constants.h"
#include "charts/chart_stages.h"
#include "charts/histogram_bins.h"
#include "charts/surface_value.h"
#include "text/number_text.h"

namespace rrscope {
namespace {

constexpr std::int64_t kCounterLimit = 32767;  // the bin counter is a 16-bit integer
constexpr double kBarFoot = 3400;
constexpr double kFullShare = 9000;  // bar height for all intervals in one bin
constexpr double kAxisY = 3420;
constexpr double kTickY = 3390;
constexpr double kLabelY = 3500;
constexpr double kTickRadius = 20;
constexpr int kAxisWidth = 2;
constexpr int kBarWidth = 4;

// A length of `seconds` on the horizontal axis: 0.3 s at 250, 1.2 s at 2500.
double lengthX(double seconds) {
  return 2500 * seconds - 500;
}

HistogramBins countIntervals(const RunContext& run, std::int64_t intervals) {
  HistogramBins bins;
  for (std::int64_t j = 1; j <= intervals; ++j) {
    bins.add(run.state.RRIntervals.at(j) / kSamplesPerSecond);
  }
  return bins;
}

void checkCounter(const HistogramBins& bins, int bin) {
  if (bins.count(bin) <= kCounterLimit) return;
  throw RunError(ErrorKind::overflow,
                 "more than 32767 RR intervals fall into the histogram bin from" +
                     text::signedNumberText(bins.lowerEdge(bin)) +
                     " s, more than its counter holds; analyse a shorter recording");
}

void drawBars(ChartSurface& surface, const HistogramBins& bins, std::int64_t intervals) {
  for (int bin = 1; bin <= HistogramBins::kBins; ++bin) {
    checkCounter(bins, bin);
    // The axis is drawn again before every bar, as the bars are drawn one
    // bin at a time.
    surface.DrawWidth(kAxisWidth);
    surface.Line(100, kAxisY, 2700, kAxisY, kRed);
    surface.DrawWidth(kBarWidth);
    const auto x = static_cast<float>(lengthX(bins.lowerEdge(bin)));
    const double share = static_cast<double>(bins.count(bin)) / static_cast<double>(intervals);
    const auto top = static_cast<float>(std::nearbyint(kBarFoot - kFullShare * share));
    surface.Line(x, top, x, kBarFoot, kRed);
  }
}

// Tick dots every 0.1 s from 0.3 s to 1.2 s.
void drawTicks(ChartSurface& surface) {
  double seconds = 0.3;
  for (int k = 1; k <= 10; ++k) {
    surface.DrawWidth(kAxisWidth);
    surface.CurrentX(static_cast<float>(lengthX(seconds)));
    surface.CurrentY(kTickY);
    surface.Circle(kTickRadius, kBlue);
    seconds += 0.1;
  }
}

// The heart rate that belongs to 0.3, 0.5, ... 1.1 s, rounded down: the
// accumulated 0.9 and 1.1 lie just below, which still gives 66 and 54.
void drawRateLabels(ChartSurface& surface) {
  double seconds = 0.3;
  for (int k = 1; k <= 5; ++k) {
    surface.CurrentY(kLabelY);
    surface.CurrentX(static_cast<float>(lengthX(seconds) - 150));
    surface.Print(text::signedNumberText(std::floor(60 / seconds)));
    seconds += 0.2;
  }
}

}  // namespace

void drawHistogram(RunContext& run) {
  ChartSurface& surface = run.window.surface(Picture::Picture4);
  const std::int64_t intervals = run.values.peakEnd - 3;
  drawBars(surface, countIntervals(run, intervals), intervals);
  drawTicks(surface);
  drawRateLabels(surface);
}

}  // namespace rrscope
