#pragma once

#include <optional>

#include "beats/sample_source.h"

namespace rrscope::beats {

// Looks in the samples of a lead for a QRS complex that the detector
// passed over between two of its beats, with thresholds lower than the
// detector's own: what the artefact correction asks before it inserts a
// beat into a long interval.
class QrsSearch {
 public:
  QrsSearch(const SampleSource& samples, double rate) : samples_(samples), rate_(rate) {}

  // The position (full-rate samples) of the steepest QRS-like complex
  // between the beats at `after` and `before`, clear of both; none when the
  // interval holds only P and T waves, noise or a flat line.
  std::optional<double> between(double after, double before) const;

 private:
  const SampleSource& samples_;
  double rate_;
};

}  // namespace rrscope::beats
