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

}  // namespace rrscope::beats
