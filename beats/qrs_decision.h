#pragma once

#include <cstdint>
#include <vector>

#include "beats/qrs_signals.h"

namespace rrscope::beats {

// The decision rules of Hamilton and Tompkins on the signals of the
// Pan–Tompkins detector: adaptive signal and noise levels on the band-passed
// and the integrated signal, a refractory period, the T-wave slope test and
// a search back with lower thresholds after a long silence. Returns the
// integration humps taken as
// QRS complexes, in increasing order.
struct QrsHump {
  std::int64_t index = 0;
  double slope = 0;           // the steepest |slope| of the band-passed lead under the hump
  bool searchedBack = false;  // found with the lowered thresholds of the search back
};
std::vector<QrsHump> decideQrs(const QrsSignals& signals);

}  // namespace rrscope::beats
