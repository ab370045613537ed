#include <vector>

#include "hrv/measure_parts.h"
#include "hrv/sample_statistics.h"

namespace rrscope::hrv {
namespace {

constexpr double kSegmentMs = 300000;

// The intervals of each 5-minute segment that the series fills: segment k
// holds the intervals whose end, counted from the start of the first
// interval, lies in (300 k, 300 (k + 1)] seconds.
std::vector<std::vector<double>> filledSegments(std::span<const double> intervalsMs) {
  double totalMs = 0;
  for (const double interval : intervalsMs) totalMs += interval;
  std::vector<std::vector<double>> segments(1);
  double endMs = 0;
  double segmentEndMs = kSegmentMs;
  for (const double interval : intervalsMs) {
    endMs += interval;
    while (endMs > segmentEndMs) {
      segmentEndMs += kSegmentMs;
      segments.emplace_back();
    }
    segments.back().push_back(interval);
  }
  // segmentEndMs is now the end of the last segment begun; keep it only if filled.
  if (totalMs < segmentEndMs) segments.pop_back();
  return segments;
}

}  // namespace

void addSegmentMeasures(std::span<const double> intervalsMs, MeasureValues& values) {
  std::vector<double> means;
  std::vector<double> deviations;
  for (const auto& segment : filledSegments(intervalsMs)) {
    if (segment.size() < 2) continue;
    means.push_back(meanOf(segment));
    deviations.push_back(sampleDeviation(segment));
  }
  if (means.size() < 2) {
    setMeasure(values, Measure::sdann, MeasureValue::undefined(Undefined::fewerThanTwoSegments));
    setMeasure(values, Measure::sdnni, MeasureValue::undefined(Undefined::fewerThanTwoSegments));
    return;
  }
  setMeasure(values, Measure::sdann, MeasureValue::of(sampleDeviation(means)));
  setMeasure(values, Measure::sdnni, MeasureValue::of(meanOf(deviations)));
}

}  // namespace rrscope::hrv
