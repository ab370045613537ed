#include "charts/bar_chart.h"

#include <cmath>

#include "analysis/run_error.h"
#include "text/number_text.h"

namespace rrscope {
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

void checkBarCounter(std::int64_t count, const std::string& which) {
  if (count <= kCounterLimit) return;
  throw RunError(ErrorKind::overflow, "more than 32767 " + which +
                                          ", more than its counter holds; analyse a shorter "
                                          "recording");
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

}  // namespace rrscope
