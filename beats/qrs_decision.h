#pragma once

#include <cstdint>
#include <vector>

#include "beats/detector_tuning.h"
#include "beats/qrs_signals.h"

namespace rrscope::beats {

// A T wave has less than half the steepest slope of the QRS before it.
inline constexpr double kTWaveSlopeRatio = 0.5;

// The decision rules of Hamilton and Tompkins on the signals of the
// Pan–Tompkins detector: adaptive signal and noise levels on the band-passed
// and the integrated signal, a refractory period, the T-wave slope test and
// a search back with lower thresholds after a long silence.
struct QrsHump {
  std::int64_t index = 0;
  double slope = 0;           // the steepest |slope| of the band-passed lead under the hump
  bool searchedBack = false;  // found with the lowered thresholds of the search back
};
struct QrsDecisions {
  // The integration humps taken as QRS complexes, in increasing order.
  std::vector<QrsHump> beats;
  // The humps the thresholds passed over that may still be complexes too
  // small for them, in increasing order: not those the T-wave test names
  // the T wave of the beat before.
  std::vector<QrsHump> passedOver;
};
QrsDecisions decideQrs(const QrsSignals& signals, const DetectorTuning& tuning = {});

}  // namespace rrscope::beats
