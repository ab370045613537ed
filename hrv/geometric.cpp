#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "hrv/measure_parts.h"

namespace rrscope::hrv {
namespace {

// Integer arithmetic wide enough for the exact triangle errors below.
__extension__ typedef __int128 Wide;

// Intervals beyond 2^20 bins (8192 s) would make the histogram a memory hazard.
constexpr double kMaxBins = 1 << 20;

Histogram histogramOf(std::span<const double> intervalsMs) {
  Histogram histogram;
  for (const double interval : intervalsMs) {
    const auto bin = static_cast<std::size_t>(std::floor(interval / kBinWidthMs));
    if (bin >= histogram.counts.size()) histogram.counts.resize(bin + 1, 0);
    ++histogram.counts[bin];
  }
  return histogram;
}

// A candidate base corner of the triangle, scored by its part of the error.
// The error splits into a part that depends only on N and one that depends
// only on M, so the least error over all pairs N < X < M is the least left
// part plus the least right part, and the first pair in (N, M) order is the
// first N and the first M that reach them. Each part, less a constant shared
// by all candidates, is numerator / (6 * width) with an integer numerator, so
// candidates compare exactly, without rounding deciding a tie.
struct Candidate {
  Wide numerator;
  Wide width;
  bool betterThan(const Candidate& other) const {
    return numerator * other.width < other.numerator * width;
  }
};

struct PrefixSums {
  std::vector<std::int64_t> counts;    // sum of c_i for i < k
  std::vector<std::int64_t> weighted;  // sum of i * c_i for i < k
  explicit PrefixSums(const std::vector<std::int64_t>& c)
      : counts(c.size() + 1), weighted(c.size() + 1) {
    for (std::size_t i = 0; i < c.size(); ++i) {
      counts[i + 1] = counts[i] + c[i];
      weighted[i + 1] = weighted[i] + static_cast<std::int64_t>(i) * c[i];
    }
  }
};

// Left part for the base corner at bin n: q rises from 0 at n to y at x.
Candidate leftCandidate(const PrefixSums& sums, std::size_t n, std::size_t x, Wide y) {
  const Wide d = static_cast<Wide>(x - n);
  const Wide moment = (sums.weighted[x] - sums.weighted[n]) -
                      static_cast<Wide>(n) * (sums.counts[x] - sums.counts[n]);
  return {-12 * y * moment + y * y * (d - 1) * (2 * d - 1), d};
}

// Right part for the base corner at edge m: q falls from y at x to 0 at m.
Candidate rightCandidate(const PrefixSums& sums, std::size_t m, std::size_t x, Wide y) {
  const Wide e = static_cast<Wide>(m - x);
  const Wide moment = static_cast<Wide>(m) * (sums.counts[m] - sums.counts[x]) -
                      (sums.weighted[m] - sums.weighted[x]);
  return {-12 * y * moment + y * y * (e + 1) * (2 * e + 1), e};
}

std::optional<Triangle> leastSquaresTriangle(const std::vector<std::int64_t>& counts) {
  const auto peak =
      static_cast<std::size_t>(std::max_element(counts.begin(), counts.end()) - counts.begin());
  if (peak == 0) return std::nullopt;
  const PrefixSums sums(counts);
  const Wide y = counts[peak];
  std::size_t bestN = 0;
  Candidate bestLeft = leftCandidate(sums, 0, peak, y);
  for (std::size_t n = 1; n < peak; ++n) {
    const Candidate candidate = leftCandidate(sums, n, peak, y);
    if (candidate.betterThan(bestLeft)) bestLeft = candidate, bestN = n;
  }
  std::size_t bestM = peak + 1;
  Candidate bestRight = rightCandidate(sums, bestM, peak, y);
  for (std::size_t m = peak + 2; m <= counts.size(); ++m) {
    const Candidate candidate = rightCandidate(sums, m, peak, y);
    if (candidate.betterThan(bestRight)) bestRight = candidate, bestM = m;
  }
  return Triangle{static_cast<double>(bestN) * kBinWidthMs, static_cast<double>(peak) * kBinWidthMs,
                  static_cast<double>(bestM) * kBinWidthMs, counts[peak]};
}

void setBoth(MeasureValues& values, Undefined reason) {
  setMeasure(values, Measure::hti, MeasureValue::undefined(reason));
  setMeasure(values, Measure::tinn, MeasureValue::undefined(reason));
}

}  // namespace

void addGeometric(std::span<const double> intervalsMs, Measures& measures) {
  if (intervalsMs.empty()) return setBoth(measures.values, Undefined::noIntervals);
  const double longest = *std::max_element(intervalsMs.begin(), intervalsMs.end());
  if (longest / kBinWidthMs >= kMaxBins)
    return setBoth(measures.values, Undefined::intervalBeyondHistogram);
  measures.histogram = histogramOf(intervalsMs);
  const auto& counts = measures.histogram.counts;
  const std::int64_t highest = *std::max_element(counts.begin(), counts.end());
  setMeasure(
      measures.values, Measure::hti,
      MeasureValue::of(static_cast<double>(intervalsMs.size()) / static_cast<double>(highest)));
  measures.triangle = leastSquaresTriangle(counts);
  if (!measures.triangle) {
    setMeasure(measures.values, Measure::tinn, MeasureValue::undefined(Undefined::noBinBelowPeak));
    return;
  }
  setMeasure(measures.values, Measure::tinn,
             MeasureValue::of(measures.triangle->mMs - measures.triangle->nMs));
}

}  // namespace rrscope::hrv
