#include "report/window_strips.h"

#include <cstdio>
#include <string>

#include "hrv/hrv_measures.h"

namespace rrscope::report {
namespace {

// alpha1 over two-minute windows is how exercise physiologists follow it;
// RMSSD over the five minutes of a short-term recording. Both move every
// 30 s, which keeps a day to 2,880 points.
constexpr hrv::WindowSpec kAlpha1Windows{120, 30};
constexpr hrv::WindowSpec kRmssdWindows{300, 30};

std::vector<ReportContent::TimedValue> strip(std::span<const double> intervalsMs,
                                             std::span<const double> endsMs, double totalMs,
                                             const hrv::WindowSpec& windows, std::uint8_t group,
                                             hrv::Measure measure) {
  hrv::MeasureOptions options;
  options.groups = group;
  std::vector<ReportContent::TimedValue> values;
  for (const hrv::WindowMeasures& window :
       hrv::windowedMeasures(intervalsMs, endsMs, totalMs, windows, options)) {
    values.push_back({window.endSeconds, window.measures[measure].optional()});
  }
  return values;
}

}  // namespace

void addWindowStrips(ReportContent& content, std::span<const double> intervalsMs,
                     std::span<const double> endsMs, double totalMs) {
  if (totalMs / 1000 < kShortestStripSeconds) return;
  content.alpha1Strip =
      strip(intervalsMs, endsMs, totalMs, kAlpha1Windows, hrv::kNonlinear, hrv::Measure::dfaAlpha1);
  content.rmssdStrip =
      strip(intervalsMs, endsMs, totalMs, kRmssdWindows, hrv::kTimeDomain, hrv::Measure::rmssd);
}

std::string spectrumNote(const hrv::MeasureOptions& options) {
  if (options.detrend != hrv::Detrend::smoothnessPriors) return {};
  char lambda[32];
  std::snprintf(lambda, sizeof lambda, "%g", options.lambda);
  return std::string("Уэлч и АР после удаления тренда (smoothness priors, λ = ") + lambda + ")";
}

}  // namespace rrscope::report
