// The pulse chart on Picture3: every eleventh sample of the raw signal.
#include <optional>
#include <string>

#include "charts/chart_stages.h"
#include "charts/surface_value.h"

namespace rrscope::charts {
namespace {

constexpr std::int64_t kStride = 11;  // one sample in eleven, starting with the first
constexpr double kBaseline = 1730;    // y of the sample value 0
constexpr int kDotWidth = 2;
constexpr double kDotRadius = 2;

constexpr ChartScale kHorizontal{analysis::Picture::Picture3, analysis::TextBox::Text8};
constexpr ChartScale kGain{analysis::Picture::Picture3, analysis::TextBox::Text7};

}  // namespace

// The scales are read once, at the first dot: nothing changes them during the
// run, and a full recording has 909,091 dots.
void drawPulseChart(analysis::RunContext& run) {
  ChartSurface& surface = run.window.surface(analysis::Picture::Picture3);
  const analysis::SampleLines& lines = run.state.SampleLines;
  // sam shows the number of samples, so the dots never pass the file's end.
  const double end = parseCaption(run, analysis::Caption::sam);
  std::optional<double> horizontal;
  std::optional<double> gain;
  for (std::int64_t i = 1; static_cast<double>(i) <= end; i += kStride) {
    analysis::checkSubscript(i, analysis::SampleLines::kCapacity, analysis::Series::sampleLines);
    surface.DrawWidth(kDotWidth);
    if (!horizontal) {
      horizontal = parseTextBox(run, kHorizontal.box);
    }
    const double x = static_cast<double>(i) * *horizontal;
    surface.CurrentX(surfaceValue(x, run, kHorizontal));
    if (!gain) gain = parseTextBox(run, kGain.box);
    const double y = analysis::parseSampleLine(lines, i) * *gain + kBaseline;
    surface.CurrentY(surfaceValue(y, run, kGain));
    surface.Circle(kDotRadius, kRed);
  }
}

}  // namespace rrscope::charts
