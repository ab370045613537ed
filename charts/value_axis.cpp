#include "charts/value_axis.h"

#include <string>

#include "charts/chart_constants.h"
#include "charts/surface_value.h"
#include "text/number_text.h"

namespace rrscope {
namespace {

constexpr double kBaseline = 3795;
constexpr double kTickX = 10;
constexpr double kLabelX = 20;
constexpr double kLabelLift = 90;

}  // namespace

void drawLengthAxisTicks(ChartSurface& surface, const std::function<double()>& scale,
                         std::string_view chart, std::string_view advice) {
  const std::string dot = "a tick dot of the " + std::string(chart);
  for (int k = 1; k <= kTickDots; ++k) {
    surface.DrawWidth(kLineWidth);
    surface.CurrentX(kTickX);
    surface.CurrentY(surfaceValue(kBaseline - kTickStep * k * scale(), dot, advice));
    surface.Circle(kDotRadius, kBlue);
  }
  const std::string label = "a tick label of the " + std::string(chart);
  for (int k = 1; k <= kTickLabels; ++k) {
    const double y = kBaseline - kLabelLift - kTickStep * k * scale();
    surface.CurrentY(surfaceValue(y, label, advice));
    surface.CurrentX(kLabelX);
    surface.Print(text::signedNumberText(k / 10.0));
  }
}

}  // namespace rrscope
