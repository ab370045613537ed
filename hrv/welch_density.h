#pragma once

#include <span>

#include "hrv/hrv_measures.h"

namespace rrscope::hrv {

inline constexpr double kResampleHz = 4;
inline constexpr std::size_t kWelchSegment = 256;
inline constexpr std::size_t kWelchStep = 128;
inline constexpr std::size_t kWelchFftLength = 4096;

// Welch's averaged periodogram of a series sampled at kResampleHz: periodic
// Hann segments of kWelchSegment points every kWelchStep points, each less its
// own mean, zero-padded to kWelchFftLength; one-sided density (the bins at 0
// and at the Nyquist frequency not doubled). Needs kWelchSegment points.
Spectrum welchSpectrum(std::span<const double> series);

}  // namespace rrscope::hrv
