#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace rrscope::beats {

// Beats that the interval series marks as artefacts, by the index of the beat
// in the series given, each list increasing.
struct Artefacts {
  std::vector<std::size_t> extra;      // a beat that should not be there
  std::vector<std::size_t> missed;     // a beat missing just before this one
  std::vector<std::size_t> ectopic;    // early or late against both neighbours
  std::vector<std::size_t> longShort;  // an interval too long or too short otherwise
  std::size_t total() const {
    return extra.size() + missed.size() + ectopic.size() + longShort.size();
  }
};

// Classifies the beats of a series (positions in any one unit, increasing)
// by the method of Lipponen and Tarvainen (2019): successive differences of
// the intervals and their deviation from a running median are scaled by
// time-varying thresholds and read in two subspaces.
Artefacts classifyArtefacts(std::span<const double> beats);

// What a classification keeps for the next one of the same series after a
// few corrections: the series and the thresholds of its successive
// differences. Where a threshold window holds the same differences as
// before, the threshold is taken over instead of worked out again.
struct ClassificationMemory {
  std::vector<double> beats;
  std::vector<double> differenceThresholds;
};

// The same classification, reusing and then updating `memory`.
Artefacts classifyArtefacts(std::span<const double> beats, ClassificationMemory& memory);

}  // namespace rrscope::beats
