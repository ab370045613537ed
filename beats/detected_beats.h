#pragma once

#include <vector>

namespace rrscope::beats {

// A stretch of a lead, in full-rate sample positions, from `begin` up to
// but not including `end`.
struct SampleStretch {
  double begin = 0;
  double end = 0;
};

// What the detector found in one lead.
struct DetectedBeats {
  // The fiducial point of each beat: 0-based full-rate sample positions,
  // increasing, placed between samples.
  std::vector<double> beats;
  // Where the lead is too noisy for its beats to be trusted: increasing and
  // disjoint. Beats inside are still listed above.
  std::vector<SampleStretch> unreadable;
};

}  // namespace rrscope::beats
