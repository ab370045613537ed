#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "hrv/measure_parts.h"
#include "hrv/sample_statistics.h"
#include "statistics/order_statistics.h"

namespace rrscope::hrv {
namespace {

std::vector<double> successiveDifferences(std::span<const double> intervalsMs) {
  std::vector<double> differences;
  if (intervalsMs.size() < 2) return differences;
  differences.reserve(intervalsMs.size() - 1);
  for (std::size_t i = 1; i < intervalsMs.size(); ++i)
    differences.push_back(intervalsMs[i] - intervalsMs[i - 1]);
  return differences;
}

// A difference counts when it exceeds the limit by more than a picosecond:
// intervals converted from sample counts (1/6 ms at 6000 samples per second)
// carry rounding of about 1e-13 ms, which must not turn a difference of
// exactly 50 ms into one above it.
constexpr double kThresholdToleranceMs = 1e-9;

std::int64_t countAbove(std::span<const double> differences, double limitMs) {
  return std::count_if(differences.begin(), differences.end(), [limitMs](double d) {
    return std::abs(d) > limitMs + kThresholdToleranceMs;
  });
}

void addLocation(std::span<const double> intervalsMs, MeasureValues& values) {
  std::vector<double> scratch(intervalsMs.begin(), intervalsMs.end());
  setMeasure(values, Measure::meanNn, MeasureValue::of(meanOf(intervalsMs)));
  // Quantiles reorder the copy: selecting two ranks takes linear time where
  // sorting would not.
  using statistics::linearQuantileFromNearerEnd;
  setMeasure(values, Measure::medianNn,
             MeasureValue::of(linearQuantileFromNearerEnd(scratch, 0.50)));
  const double upper = linearQuantileFromNearerEnd(scratch, 0.75);
  setMeasure(values, Measure::iqrNn,
             MeasureValue::of(upper - linearQuantileFromNearerEnd(scratch, 0.25)));
}

void addHeartRates(std::span<const double> intervalsMs, MeasureValues& values) {
  double sum = 0;
  double lowest = 60000 / intervalsMs.front();
  double highest = lowest;
  for (const double interval : intervalsMs) {
    const double rate = 60000 / interval;
    sum += rate;
    lowest = std::min(lowest, rate);
    highest = std::max(highest, rate);
  }
  setMeasure(values, Measure::meanHr,
             MeasureValue::of(sum / static_cast<double>(intervalsMs.size())));
  setMeasure(values, Measure::minHr, MeasureValue::of(lowest));
  setMeasure(values, Measure::maxHr, MeasureValue::of(highest));
}

void addDifferenceMeasures(std::span<const double> intervalsMs, MeasureValues& values) {
  const std::vector<double> differences = successiveDifferences(intervalsMs);
  double squares = 0;
  for (const double d : differences) squares += d * d;
  const auto count = static_cast<double>(intervalsMs.size());
  const auto nn50 = static_cast<double>(countAbove(differences, 50));
  const auto nn20 = static_cast<double>(countAbove(differences, 20));
  setMeasure(values, Measure::rmssd,
             MeasureValue::of(std::sqrt(squares / static_cast<double>(differences.size()))));
  setMeasure(values, Measure::nn50, MeasureValue::of(nn50));
  setMeasure(values, Measure::nn20, MeasureValue::of(nn20));
  setMeasure(values, Measure::pnn50, MeasureValue::of(nn50 / count * 100));
  setMeasure(values, Measure::pnn20, MeasureValue::of(nn20 / count * 100));
  if (differences.size() < 2) {
    setMeasure(values, Measure::sdsd, MeasureValue::undefined(Undefined::fewerThanThreeIntervals));
    return;
  }
  setMeasure(values, Measure::sdsd, MeasureValue::of(sampleDeviation(differences)));
}

void addSpread(std::span<const double> intervalsMs, MeasureValues& values) {
  const double sdnn = sampleDeviation(intervalsMs);
  setMeasure(values, Measure::sdnn, MeasureValue::of(sdnn));
  setMeasure(values, Measure::cvnn, MeasureValue::of(sdnn / meanOf(intervalsMs)));
}

}  // namespace

void addTimeDomain(std::span<const double> intervalsMs, MeasureValues& values) {
  if (intervalsMs.empty()) {
    for (const Measure m : {Measure::meanNn, Measure::medianNn, Measure::iqrNn, Measure::meanHr,
                            Measure::minHr, Measure::maxHr})
      setMeasure(values, m, MeasureValue::undefined(Undefined::noIntervals));
  } else {
    addLocation(intervalsMs, values);
    addHeartRates(intervalsMs, values);
  }
  if (intervalsMs.size() < 2) {
    const Undefined reason =
        intervalsMs.empty() ? Undefined::noIntervals : Undefined::fewerThanTwoIntervals;
    for (const Measure m : {Measure::sdnn, Measure::cvnn, Measure::rmssd, Measure::sdsd,
                            Measure::nn50, Measure::nn20, Measure::pnn50, Measure::pnn20})
      setMeasure(values, m, MeasureValue::undefined(reason));
    return;
  }
  addSpread(intervalsMs, values);
  addDifferenceMeasures(intervalsMs, values);
}

}  // namespace rrscope::hrv
