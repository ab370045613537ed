#include "hrv/hrv_measures.h"

#include <algorithm>
#include <cmath>

#include "hrv/measure_parts.h"

namespace rrscope::hrv {

std::array<Measure, kMeasureCount> allMeasures() {
  std::array<Measure, kMeasureCount> measures{};
  for (std::size_t i = 0; i < kMeasureCount; ++i) measures[i] = static_cast<Measure>(i);
  return measures;
}

Measures computeMeasures(std::span<const double> intervalsMs, const MeasureOptions& options) {
  Measures measures;
  const bool valid = std::all_of(intervalsMs.begin(), intervalsMs.end(),
                                 [](double x) { return std::isfinite(x) && x > 0; });
  if (!valid) {
    measures.values.fill(MeasureValue::undefined(Undefined::nonPositiveInterval));
    return measures;
  }
  // Beyond the range the segments, histograms and spectra would grow with
  // the interval's length until memory runs out.
  if (!std::all_of(intervalsMs.begin(), intervalsMs.end(), isValidInterval)) {
    measures.values.fill(MeasureValue::undefined(Undefined::intervalOutOfRange));
    return measures;
  }
  measures.values.fill(MeasureValue::undefined(Undefined::notAskedFor));
  const auto wanted = [&options](MeasureGroup group) { return (options.groups & group) != 0; };
  if (wanted(kTimeDomain)) {
    addTimeDomain(intervalsMs, measures.values);
    addSegmentMeasures(intervalsMs, measures.values);
  }
  if (wanted(kGeometric)) addGeometric(intervalsMs, measures);
  if (wanted(kPoincare)) addPoincare(intervalsMs, measures.values);
  if (wanted(kSpectra)) addFrequencyDomain(intervalsMs, options, measures);
  if (wanted(kNonlinear)) addNonlinear(intervalsMs, measures);
  return measures;
}

}  // namespace rrscope::hrv
