#include "charts/value_axis.h"

#include "charts/chart_constants.h"
#include "text/number_text.h"

namespace rrscope::charts {
namespace {

constexpr double kBaseline = 3795;
constexpr double kTickX = 10;
constexpr double kLabelX = 20;
constexpr double kLabelLift = 90;

}  // namespace

void drawLengthAxisTicks(ChartSurface& surface, const analysis::RunContext& run, ChartScale scale) {
  const auto factor = [&] { return analysis::parseTextBox(run, scale.box); };
  for (int k = 1; k <= kTickDots; ++k) {
    surface.DrawWidth(kLineWidth);
    surface.CurrentX(kTickX);
    surface.CurrentY(surfaceValue(kBaseline - kTickStep * k * factor(), run, scale));
    surface.Circle(kDotRadius, kBlue);
  }
  for (int k = 1; k <= kTickLabels; ++k) {
    const double y = kBaseline - kLabelLift - kTickStep * k * factor();
    surface.CurrentY(surfaceValue(y, run, scale));
    surface.CurrentX(kLabelX);
    surface.Print(text::signedNumberText(k / 10.0));
  }
}

}  // namespace rrscope::charts
