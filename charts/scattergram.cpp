// The scattergram on Picture2: each RR interval against the interval a shift
// tau (Text9) later.
#include <limits>
#include <string>

#include "analysis/run_error.h"
#include "charts/chart_constants.h"
#include "charts/chart_stages.h"
#include "charts/surface_value.h"
#include "charts/value_axis.h"
#include "text/number_text.h"
#include "text/strict_number.h"

namespace rrscope::charts {
namespace {

constexpr double kBaseline = 3795;  // y of the horizontal axis and of a partner of length 0
constexpr double kAxisEnd = 3735;   // right end of the horizontal axis
constexpr double kHorizontalTickY = 3755;
constexpr double kHorizontalLabelY = 3555;
constexpr double kHorizontalLabelOffset = 100;
constexpr double kValueOrigin = 10;  // x of an interval of length 0

constexpr ChartScale kVertical{analysis::Picture::Picture2, analysis::TextBox::Text5};
constexpr ChartScale kHorizontal{analysis::Picture::Picture2, analysis::TextBox::Text6};

double verticalScale(const analysis::RunContext& run) {
  return analysis::parseTextBox(run, kVertical.box);
}

double horizontalScale(const analysis::RunContext& run) {
  return analysis::parseTextBox(run, kHorizontal.box);
}

// The shift as a 16-bit whole number: the text of Text9 must be one number.
std::int16_t wholeShift(const analysis::RunContext& run) {
  std::string shift = run.window.text(analysis::TextBox::Text9);
  const text::StrictShort whole = text::strictWholeShort(shift);
  switch (whole.failure) {
    case text::StrictFailure::none:
      return whole.value;
    case text::StrictFailure::notANumber:
      throw analysis::RunError({.cause = analysis::ErrorCause::shiftNotANumber,
                                .fields = {{analysis::TextBox::Text9, std::move(shift)}}});
    case text::StrictFailure::outOfRange:
      break;
  }
  throw analysis::RunError({.cause = analysis::ErrorCause::shiftOutOfRange,
                            .fields = {{analysis::TextBox::Text9, std::move(shift)}},
                            .limit = std::numeric_limits<std::int16_t>::max()});
}

// A shift larger than the series allows becomes the largest that leaves the
// first interval a partner inside the series; the lowered text stays in Text9.
void capShift(analysis::RunContext& run) {
  const std::int64_t largest = run.values.peakEnd - 4;
  if (wholeShift(run) > largest) run.window.setText9(text::wholeNumberText(largest));
}

// The interval that interval `interval` is paired with.
std::int64_t partnerPosition(const analysis::RunContext& run, std::int64_t interval) {
  const double tau = analysis::parseTextBox(run, analysis::TextBox::Text9);
  const std::int64_t partner = analysis::roundedPosition(static_cast<double>(interval) + tau);
  if (partner < 1 || partner > analysis::NumberArray::kCapacity) {
    throw analysis::RunError(
        {.cause = analysis::ErrorCause::shiftPairsOutside,
         .fields = {{analysis::TextBox::Text9, run.window.text(analysis::TextBox::Text9)}},
         .count = interval,
         .limit = analysis::NumberArray::kCapacity});
  }
  return partner;
}

}  // namespace

void drawScattergramFrame(analysis::RunContext& run) {
  ChartSurface& surface = run.window.surface(analysis::Picture::Picture2);
  surface.DrawWidth(kLineWidth);
  surface.Line(0, kBaseline, kAxisEnd, kBaseline, kRed);
  surface.Line(0, 0, 0, kBaseline, kRed);

  drawLengthAxisTicks(surface, run, kVertical);
  for (int k = 1; k <= kTickDots; ++k) {
    surface.DrawWidth(kLineWidth);
    const double x = kValueOrigin + kTickStep * k * horizontalScale(run);
    surface.CurrentX(surfaceValue(x, run, kHorizontal));
    surface.CurrentY(kHorizontalTickY);
    surface.Circle(kDotRadius, kBlue);
  }
  for (int k = 1; k <= kTickLabels; ++k) {
    surface.CurrentY(kHorizontalLabelY);
    const double x = kTickStep * k * horizontalScale(run) - kHorizontalLabelOffset;
    surface.CurrentX(surfaceValue(x, run, kHorizontal));
    surface.Print(text::signedNumberText(k / 10.0));
  }
}

void plotScattergramPoint(analysis::RunContext& run, std::int64_t interval) {
  ChartSurface& surface = run.window.surface(analysis::Picture::Picture2);
  surface.DrawWidth(kLineWidth);
  capShift(run);
  const double x = finiteValue(
      horizontalScale(run) * run.state.RRIntervals.at(interval) + kValueOrigin, run, kHorizontal);
  // Past the end of the series the partner is whatever the array holds there, 0.
  const std::int64_t partner = partnerPosition(run, interval);
  const double y = kBaseline - verticalScale(run) * run.state.RRIntervals.at(partner);
  surface.CurrentX(surfaceValue(x, run, kHorizontal));
  surface.CurrentY(surfaceValue(y, run, kVertical));
  surface.Circle(kDotRadius, kRed);
}

}  // namespace rrscope::charts
