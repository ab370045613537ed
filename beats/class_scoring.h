#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "beats/beat_class.h"
#include "beats/beat_scoring.h"

namespace rrscope::beats {

// How well the classes of the detections agree with those of the reference
// for one class C, beat by beat as EC57 counts them.
struct ClassScore {
  long long referenceBeats = 0;  // reference beats of class C
  long long found = 0;           // of those, matched to a detection classed C
  long long detections = 0;      // detections classed C that count for +P
  long long confirmed = 0;       // of those, matched to a reference beat of class C
  // Se = found / referenceBeats and +P = confirmed / detections, in
  // percent; none when there is nothing to divide by.
  std::optional<double> sensitivityPct() const;
  std::optional<double> positivePredictivityPct() const;
};

// The classes EC57 scores: Q, the paced and unclassifiable beats, has no
// score of its own, and reference beats of class Q do not count against
// the others.
inline constexpr std::array<BeatClass, 4> kScoredClasses{BeatClass::N, BeatClass::S, BeatClass::V,
                                                         BeatClass::F};

// One score per class of kScoredClasses, indexed by the class's value.
using ClassScoring = std::array<ClassScore, kScoredClasses.size()>;

// The EC57 class of each of a reference's MIT beat labels; none for a label
// that EC57 leaves out.
std::vector<std::optional<BeatClass>> aamiClassesOfLabels(std::string_view labels);

// Matches the detections to the reference beats as scoreBeats does, then
// scores every class: for class C, Se takes every reference beat of class C,
// an unmatched one as missed; +P takes every detection classed C, an
// unmatched one as false, except those matched to a reference beat of class
// Q or of no class and, for V, those matched to a fusion beat (F).
// `detectedClasses` holds one class per detection and `referenceClasses` one
// per reference beat. Throws std::invalid_argument when they do not, and as
// matchBeats does.
ClassScoring scoreClasses(std::span<const double> detected,
                          std::span<const BeatClass> detectedClasses,
                          std::span<const double> reference,
                          std::span<const std::optional<BeatClass>> referenceClasses, double rate,
                          double windowMs = kDefaultMatchWindowMs);

}  // namespace rrscope::beats
