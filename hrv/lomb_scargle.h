#pragma once

#include <span>

#include "hrv/hrv_measures.h"

namespace rrscope::hrv {

// The Lomb–Scargle periodogram of intervals in ms at their own beat times,
// without resampling: t_i is the running sum of the intervals up to and
// including i, in s; y_i the interval less the mean of all; span = t_N -
// t_1. Frequencies k / (4 span), k = 1, 2, ..., up to the lower of 0.5 Hz and
// the mean Nyquist frequency (N - 1) / (2 span). At each, with w = 2 pi f and
// tan(2 w tau) = sum sin 2wt / sum cos 2wt,
//   L(f) = [sum y cos w(t - tau)]^2 / sum cos^2 w(t - tau)
//        + [sum y sin w(t - tau)]^2 / sum sin^2 w(t - tau),
// and the density in ms^2/Hz is L(f) span / (N - 1). A term whose
// denominator vanishes (evenly spaced beats at their Nyquist frequency)
// counts as 0. Needs 4 intervals and a span above 0.
Spectrum lombScargleSpectrum(std::span<const double> intervalsMs);

}  // namespace rrscope::hrv
