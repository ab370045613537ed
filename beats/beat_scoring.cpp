#include "beats/beat_scoring.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace rrscope::beats {
namespace {

struct Pair {
  double distance;
  std::size_t detection;
  std::size_t reference;
};

// Every detection–reference pair within the window; both series are sorted,
// so the references near a detection are found by sliding a lower bound.
std::vector<Pair> pairsWithin(std::span<const double> detected, std::span<const double> reference,
                              double window) {
  std::vector<Pair> pairs;
  std::size_t low = 0;
  for (std::size_t d = 0; d < detected.size(); ++d) {
    while (low < reference.size() && reference[low] < detected[d] - window) ++low;
    for (std::size_t r = low; r < reference.size() && reference[r] <= detected[d] + window; ++r) {
      pairs.push_back({std::abs(detected[d] - reference[r]), d, r});
    }
  }
  return pairs;
}

void checkMatching(double rate, double windowMs) {
  if (!(windowMs > 0) || !(windowMs <= kMaxMatchWindowMs)) {
    throw std::invalid_argument("the match window must be above 0 and at most 1000 ms");
  }
  if (!(rate > 0) || !std::isfinite(rate)) {
    throw std::invalid_argument("the sampling rate must be a positive number");
  }
}

double percent(long long part, long long whole) {
  return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
}

}  // namespace

double Scoring::sensitivityPct() const {
  return percent(truePositives, truePositives + falseNegatives);
}

double Scoring::positivePredictivityPct() const {
  return percent(truePositives, truePositives + falsePositives);
}

std::vector<std::optional<std::size_t>> matchBeats(std::span<const double> detected,
                                                   std::span<const double> reference, double rate,
                                                   double windowMs) {
  checkMatching(rate, windowMs);
  std::vector<Pair> pairs = pairsWithin(detected, reference, windowMs * rate / 1000.0);
  // Ties go to the earlier detection, then the earlier reference beat.
  std::stable_sort(pairs.begin(), pairs.end(),
                   [](const Pair& a, const Pair& b) { return a.distance < b.distance; });
  std::vector<bool> detectionUsed(detected.size(), false);
  std::vector<std::optional<std::size_t>> matches(reference.size());
  for (const Pair& p : pairs) {
    if (detectionUsed[p.detection] || matches[p.reference]) continue;
    detectionUsed[p.detection] = true;
    matches[p.reference] = p.detection;
  }
  return matches;
}

Scoring scoreBeats(std::span<const double> detected, std::span<const double> reference, double rate,
                   double windowMs) {
  Scoring s;
  s.windowMs = windowMs;
  double errorSum = 0;
  const std::vector<std::optional<std::size_t>> matches =
      matchBeats(detected, reference, rate, windowMs);
  for (std::size_t r = 0; r < matches.size(); ++r) {
    if (!matches[r]) continue;
    ++s.truePositives;
    const double errorMs = std::abs(detected[*matches[r]] - reference[r]) * 1000.0 / rate;
    errorSum += errorMs;
    s.maxAbsErrorMs = std::max(s.maxAbsErrorMs, errorMs);
  }
  s.falsePositives = static_cast<long long>(detected.size()) - s.truePositives;
  s.falseNegatives = static_cast<long long>(reference.size()) - s.truePositives;
  if (s.truePositives > 0) s.meanAbsErrorMs = errorSum / static_cast<double>(s.truePositives);
  return s;
}

}  // namespace rrscope::beats
