#pragma once

#include <span>
#include <vector>

#include "editing/beat_list.h"

namespace rrscope::editing {

// The source of each beat the artefact correction gave back, from the
// detector's beats and the corrected ones (both increasing, in one unit).
// The correction leaves most beats exactly where the detector put them: a
// corrected beat equal to a detected one is `detected`. Between two such
// beats, and before the first and after the last, the corrected beats that
// are new and the detected beats that are gone are paired off closest pair
// first, each beat at most once; a new beat paired with a vanished one was
// `moved`, a new beat left over was `inserted`, and a vanished beat left
// over was removed: those go into `removed`, when given, in increasing order.
std::vector<BeatSource> beatSources(std::span<const double> detected,
                                    std::span<const double> corrected,
                                    std::vector<double>* removed = nullptr);

}  // namespace rrscope::editing
