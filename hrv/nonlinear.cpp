#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "hrv/dfa.h"
#include "hrv/entropy.h"
#include "hrv/measure_parts.h"
#include "hrv/sample_statistics.h"

namespace rrscope::hrv {
namespace {

// Entropy: templates of two intervals, tolerance a fifth of SDNN.
constexpr std::size_t kTemplateLength = 2;
constexpr double kToleranceShare = 0.2;
// DFA: Peng's short- and long-term box sizes in beats; n = 16 is in both.
constexpr std::size_t kShortestBox = 4;
constexpr std::size_t kMiddleBox = 16;
constexpr std::size_t kLongestBox = 64;
// A box size needs four boxes at least, so alpha1 needs 64 intervals and
// alpha2 256.
constexpr std::size_t kBoxesPerSize = 4;
// A fluctuation below this share of the series' SD is the rounding of a
// profile that is a straight line within its boxes (F of some 1e-14 ms),
// no fluctuation: its logarithm would tilt the fit to nonsense such as
// alpha2 = -18.6. Intervals of whole ms or samples never fluctuate this
// little.
constexpr double kRoundingShare = 1e-9;

void addEntropies(std::span<const double> intervalsMs, MeasureValues& values) {
  if (intervalsMs.size() < 2) {
    for (const Measure m : {Measure::sampen, Measure::sampenR, Measure::apen}) {
      setMeasure(values, m, MeasureValue::undefined(Undefined::fewerThanTwoIntervals));
    }
    return;
  }
  const double r = kToleranceShare * sampleDeviation(intervalsMs);
  setMeasure(values, Measure::sampenR, MeasureValue::of(r));
  if (intervalsMs.size() < 4) {
    setMeasure(values, Measure::sampen, MeasureValue::undefined(Undefined::fewerThanFourIntervals));
    setMeasure(values, Measure::apen, MeasureValue::undefined(Undefined::fewerThanFourIntervals));
    return;
  }
  const TemplateCounts counts = countTemplates(intervalsMs, kTemplateLength, r);
  setMeasure(values, Measure::sampen,
             counts.pairsM == 0 || counts.pairsMPlus1 == 0
                 ? MeasureValue::undefined(Undefined::noTemplateMatches)
                 : MeasureValue::of(-std::log(static_cast<double>(counts.pairsMPlus1) /
                                              static_cast<double>(counts.pairsM))));
  setMeasure(values, Measure::apen, MeasureValue::of(counts.phiM - counts.phiMPlus1));
}

std::vector<std::size_t> boxSizes(std::size_t from, std::size_t to) {
  std::vector<std::size_t> sizes(to - from + 1);
  std::iota(sizes.begin(), sizes.end(), from);
  return sizes;
}

// The exponent over box sizes [from, to], or why there is none: a box
// size whose fluctuation does not exceed `least`.
MeasureValue exponent(const DfaCurve& curve, std::size_t from, std::size_t to, double least,
                      std::optional<DfaFit>& fit) {
  const auto first = static_cast<std::ptrdiff_t>(from - kShortestBox);
  const auto end = static_cast<std::ptrdiff_t>(to - kShortestBox + 1);
  const std::span<const double> fluctuation(curve.fluctuation.begin() + first,
                                            curve.fluctuation.begin() + end);
  if (std::ranges::any_of(fluctuation, [least](double f) { return !(f > least); })) {
    return MeasureValue::undefined(Undefined::noFluctuation);
  }
  fit = dfaFit(std::span(curve.boxSizes)
                   .subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first)),
               fluctuation);
  return MeasureValue::of(fit->slope);
}

void addDfa(std::span<const double> intervalsMs, Measures& measures) {
  const std::size_t n = intervalsMs.size();
  const bool equal =
      n > 0 && std::ranges::all_of(intervalsMs, [&](double x) { return x == intervalsMs.front(); });
  const std::size_t longest = std::min(kLongestBox, n / kBoxesPerSize);
  if (longest >= kShortestBox && !equal) {
    measures.dfa.boxSizes = boxSizes(kShortestBox, longest);
    measures.dfa.fluctuation = dfaFluctuation(intervalsMs, measures.dfa.boxSizes);
  }
  MeasureValues& values = measures.values;
  const double least = n > 1 ? kRoundingShare * sampleDeviation(intervalsMs) : 0;
  if (n < kBoxesPerSize * kMiddleBox) {
    setMeasure(values, Measure::dfaAlpha1,
               MeasureValue::undefined(Undefined::fewerThan64Intervals));
  } else if (equal) {
    setMeasure(values, Measure::dfaAlpha1, MeasureValue::undefined(Undefined::allIntervalsEqual));
  } else {
    setMeasure(values, Measure::dfaAlpha1,
               exponent(measures.dfa, kShortestBox, kMiddleBox, least, measures.dfa.alpha1));
  }
  if (n < kBoxesPerSize * kLongestBox) {
    setMeasure(values, Measure::dfaAlpha2,
               MeasureValue::undefined(Undefined::fewerThan256Intervals));
  } else if (equal) {
    setMeasure(values, Measure::dfaAlpha2, MeasureValue::undefined(Undefined::allIntervalsEqual));
  } else {
    setMeasure(values, Measure::dfaAlpha2,
               exponent(measures.dfa, kMiddleBox, kLongestBox, least, measures.dfa.alpha2));
  }
}

}  // namespace

void addNonlinear(std::span<const double> intervalsMs, Measures& measures) {
  addEntropies(intervalsMs, measures.values);
  addDfa(intervalsMs, measures);
}

}  // namespace rrscope::hrv
