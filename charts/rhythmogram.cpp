// The rhythmogram on Picture1: each RR interval against the time of the peak
// that closes it.
#include "charts/chart_constants.h"
#include "charts/chart_stages.h"
#include "charts/surface_value.h"
#include "charts/value_axis.h"

namespace rrscope::charts {
namespace {

constexpr double kBaseline = 3795;  // y of the time axis and of an interval of length 0
constexpr double kAxisEnd = 3735;
constexpr double kTimeOrigin = 100;

constexpr ChartScale kVertical{analysis::Picture::Picture1, analysis::TextBox::Text4};
constexpr ChartScale kTime{analysis::Picture::Picture1, analysis::TextBox::Text3};

// Twips per sample of interval length; read at every use, as the user sees it.
double verticalScale(const analysis::RunContext& run) {
  return analysis::parseTextBox(run, kVertical.box);
}

double timeScale(const analysis::RunContext& run) {
  return analysis::parseTextBox(run, kTime.box);
}

}  // namespace

void drawRhythmogramFrame(analysis::RunContext& run) {
  ChartSurface& surface = run.window.surface(analysis::Picture::Picture1);
  surface.DrawWidth(kLineWidth);
  // The vertical axis stops short of the time axis, leaving a gap in the corner.
  surface.Line(0, 0, 0, kAxisEnd, kRed);
  surface.Line(0, kBaseline, kAxisEnd, kBaseline, kRed);

  drawLengthAxisTicks(surface, run, kVertical);
}

void plotRhythmogramPoint(analysis::RunContext& run, std::int64_t interval) {
  ChartSurface& surface = run.window.surface(analysis::Picture::Picture1);
  surface.DrawWidth(kLineWidth);
  const double x = timeScale(run) * run.state.PeakTimes.at(interval + 1) + kTimeOrigin;
  const double y = kBaseline - verticalScale(run) * run.state.RRIntervals.at(interval);
  surface.CurrentX(surfaceValue(x, run, kTime));
  surface.CurrentY(surfaceValue(y, run, kVertical));
  surface.Circle(kDotRadius, kRed);
}

}  // namespace rrscope::charts
