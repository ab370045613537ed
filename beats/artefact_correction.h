#pragma once

#include <span>
#include <vector>

namespace rrscope::beats {

// How many beats each kind of correction touched.
struct CorrectionCounts {
  int extra = 0;      // removed
  int missed = 0;     // inserted
  int ectopic = 0;    // moved to the midpoint of their neighbours
  int longShort = 0;  // moved to the midpoint of their neighbours
  int total() const { return extra + missed + ectopic + longShort; }
};

// The NN series: the beats after correction.
struct CorrectedBeats {
  std::vector<double> beats;
  CorrectionCounts counts;
};

// Corrects the artefacts of a beat series (positions in any one unit,
// increasing) in the beat domain, by the method of Lipponen and Tarvainen
// (2019): extra beats are removed, missed ones inserted at the midpoint of
// their neighbours, ectopic and long or short ones moved there. Classifies
// and corrects again as long as each pass finds fewer artefacts than the one
// before. The series given is left as it is.
CorrectedBeats correctArtefacts(std::span<const double> beats);

}  // namespace rrscope::beats
