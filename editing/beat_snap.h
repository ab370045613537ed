#pragma once

#include "beats/sample_source.h"

namespace rrscope::editing {

// Where a beat added by hand near `position` (full-rate samples) goes: the
// fiducial point the detector gives the QRS complex nearest to it, found
// with the detector run on the seconds around it. Where the detector sees
// no complex there, even with that context (a beat it missed, which is why
// the user adds it), the beat goes to the dominant deflection of the QRS
// band closest to the click. Outside the samples it stays where it is.
double snapToQrs(const beats::SampleSource& samples, double rate, double position);

}  // namespace rrscope::editing
