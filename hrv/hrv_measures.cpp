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

std::string_view undefinedText(Undefined reason) {
  switch (reason) {
    case Undefined::noIntervals:
      return "no intervals";
    case Undefined::fewerThanTwoIntervals:
      return "fewer than 2 intervals";
    case Undefined::fewerThanThreeIntervals:
      return "fewer than 3 intervals";
    case Undefined::nonPositiveInterval:
      return "an interval is not a positive number";
    case Undefined::zeroDenominator:
      return "zero denominator";
    case Undefined::fewerThanTwoSegments:
      return "fewer than 2 filled 5-minute segments of 2 intervals";
    case Undefined::tooShortForSpectrum:
      return "fewer than 4 intervals or 64 s";
    case Undefined::noPowerInBand:
      return "no power in the band";
    case Undefined::noBinBelowPeak:
      return "no histogram bin below the highest";
    case Undefined::intervalBeyondHistogram:
      return "an interval longer than 8192 s";
    case Undefined::fewerThanFourIntervals:
      return "fewer than 4 intervals";
    case Undefined::noTemplateMatches:
      return "no template matches";
    case Undefined::fewerThan64Intervals:
      return "fewer than 64 intervals";
    case Undefined::fewerThan256Intervals:
      return "fewer than 256 intervals";
    case Undefined::allIntervalsEqual:
      return "all intervals are equal";
    case Undefined::noFluctuation:
      return "a box size without fluctuation";
    case Undefined::longerThanAnHour:
      return "longer than 3600 s (use windows)";
    case Undefined::notAskedFor:
      return "not asked for";
    case Undefined::intervalOutOfRange:
      return "an interval outside 10 ms to 3600 s";
    case Undefined::lambdaOutOfRange:
      return "the smoothness-priors lambda lies outside 10 to 1000000";
  }
  return "undefined";
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
