#include "charts/bar_chart.h"

#include <cmath>

#include "analysis/run_error.h"
#include "text/number_text.h"

namespace rrscope::charts {
namespace {

constexpr std::int64_t kCounterLimit = 32767;
constexpr double kBarFoot = 3400;
constexpr float kAxisY = 3420;
constexpr float kTickY = 3390;
constexpr float kLabelY = 3500;
constexpr float kTickRadius = 20;
constexpr int kAxisWidth = 2;
constexpr int kBarWidth = 4;

}  // namespace

void checkBarCounter(const analysis::RunContext& run, std::int64_t count, analysis::Picture chart,
                     double seconds) {
  if (count <= kCounterLimit) return;
  // No heart beats that often: so many intervals in one bin mean that the
  // detection took nearly every sample for a peak.
  throw analysis::RunError(
      {.cause = analysis::ErrorCause::binOverflow,
       .fields = {{analysis::TextBox::Text1, run.window.text(analysis::TextBox::Text1)},
                  {analysis::TextBox::Text2, run.window.text(analysis::TextBox::Text2)}},
       .chart = chart,
       .count = count,
       .limit = kCounterLimit,
       .value = seconds});
}

void drawAxisAndBar(ChartSurface& surface, float axisLeft, float axisRight, double x, double share,
                    double fullHeight) {
  surface.DrawWidth(kAxisWidth);
  surface.Line(axisLeft, kAxisY, axisRight, kAxisY, kRed);
  surface.DrawWidth(kBarWidth);
  const auto top = static_cast<float>(std::nearbyint(kBarFoot - fullHeight * share));
  surface.Line(static_cast<float>(x), top, static_cast<float>(x), kBarFoot, kRed);
}

void drawTickDot(ChartSurface& surface, double x) {
  surface.DrawWidth(kAxisWidth);
  surface.CurrentX(static_cast<float>(x));
  surface.CurrentY(kTickY);
  surface.Circle(kTickRadius, kBlue);
}

void printAxisNumber(ChartSurface& surface, double x, double number) {
  surface.CurrentY(kLabelY);
  surface.CurrentX(static_cast<float>(x));
  surface.Print(text::signedNumberText(number));
}

}  // namespace rrscope::charts
