#include <cmath>
#include <numbers>
#include <vector>

#include "hrv/measure_parts.h"
#include "hrv/sample_statistics.h"

namespace rrscope::hrv {

// Each pair of successive intervals is a point of the Poincaré plot; SD1 and
// SD2 are the spreads across and along the line of identity.
void addPoincare(std::span<const double> intervalsMs, MeasureValues& values) {
  if (intervalsMs.size() < 3) {
    const Undefined reason = intervalsMs.empty()       ? Undefined::noIntervals
                             : intervalsMs.size() == 1 ? Undefined::fewerThanTwoIntervals
                                                       : Undefined::fewerThanThreeIntervals;
    for (const Measure m : {Measure::sd1, Measure::sd2, Measure::sd1Sd2, Measure::poincareArea})
      setMeasure(values, m, MeasureValue::undefined(reason));
    return;
  }
  std::vector<double> across;
  std::vector<double> along;
  for (std::size_t i = 0; i + 1 < intervalsMs.size(); ++i) {
    across.push_back((intervalsMs[i] - intervalsMs[i + 1]) / std::numbers::sqrt2);
    along.push_back((intervalsMs[i] + intervalsMs[i + 1]) / std::numbers::sqrt2);
  }
  const double sd1 = sampleDeviation(across);
  const double sd2 = sampleDeviation(along);
  setMeasure(values, Measure::sd1, MeasureValue::of(sd1));
  setMeasure(values, Measure::sd2, MeasureValue::of(sd2));
  setMeasure(
      values, Measure::sd1Sd2,
      sd2 == 0 ? MeasureValue::undefined(Undefined::zeroDenominator) : MeasureValue::of(sd1 / sd2));
  setMeasure(values, Measure::poincareArea, MeasureValue::of(std::numbers::pi * sd1 * sd2));
}

}  // namespace rrscope::hrv
