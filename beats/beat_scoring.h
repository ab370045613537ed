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

// The widest match window: a detection is never that far from the beat it
// marks, and a wider window would pair every beat with thousands of others
// and hold all those pairs in memory.
inline constexpr double kMaxMatchWindowMs = 1000.0;

// The detection matched to each reference beat, if any. Detections are
// matched to reference beats one to one: a pair may be at most `windowMs`
// apart, and pairs are taken closest first, each beat and each detection at
// most once. Positions are sample indices at `rate` samples per second, in
// increasing order. Throws std::invalid_argument ("the match window must be
// above 0 and at most 1000 ms") for a window outside (0, kMaxMatchWindowMs],
// and ("the sampling rate must be a positive number") for a rate not above
// 0 or not finite.
std::vector<std::optional<std::size_t>> matchBeats(std::span<const double> detected,
                                                   std::span<const double> reference, double rate,
                                                   double windowMs = kDefaultMatchWindowMs);

// How the detections agree with the reference beats, by that matching;
// the same preconditions as matchBeats.
Scoring scoreBeats(std::span<const double> detected, std::span<const double> reference, double rate,
                   double windowMs = kDefaultMatchWindowMs);

}  // namespace rrscope::beats
