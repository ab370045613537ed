#pragma once

#include <cstdint>
#include <vector>

#include "beats/qrs_signals.h"

namespace rrscope::beats {

// The decision rules of Hamilton and Tompkins on the signals of the
// Pan–Tompkins detector: adaptive signal and noise levels on the band-passed
// and the integrated signal, a refractory period, the T-wave slope test and
// a search back with lower thresholds after a long silence. Returns the
// sample indices (at the signals' rate) of the integration humps taken as
// QRS complexes, in increasing order.
std::vector<std::int64_t> decideQrs(const QrsSignals& signals);

}  // namespace rrscope::beats
