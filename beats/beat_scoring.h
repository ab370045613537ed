#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace rrscope::beats {

// How well detected beats agree with reference beats.
struct Scoring {
  double windowMs = 0;
  long long truePositives = 0;   // matched pairs
  long long falseNegatives = 0;  // reference beats left unmatched
  long long falsePositives = 0;  // detections left unmatched
  double meanAbsErrorMs = 0;     // over the matched pairs; 0 without any
  double maxAbsErrorMs = 0;
  // Se = TP / (TP + FN) and +P = TP / (TP + FP), in percent; 0 when the
  // denominator is 0.
  double sensitivityPct() const;
  double positivePredictivityPct() const;
};

// The match window of the standard beat-by-beat comparison.
inline constexpr double kDefaultMatchWindowMs = 150.0;

// Matches detections to reference beats one to one: a pair may be at most
// `windowMs` apart, and pairs are taken closest first, each beat and each
// detection at most once. Positions are sample indices at `rate` samples per
// second, in increasing order.
// The detection matched to each reference beat by that pairing, if any.
std::vector<std::optional<std::size_t>> matchBeats(std::span<const double> detected,
                                                   std::span<const double> reference, double rate,
                                                   double windowMs = kDefaultMatchWindowMs);

Scoring scoreBeats(std::span<const double> detected, std::span<const double> reference, double rate,
                   double windowMs = kDefaultMatchWindowMs);

}  // namespace rrscope::beats
