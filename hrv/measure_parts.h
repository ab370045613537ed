#pragma once

#include <span>

#include "hrv/hrv_measures.h"

// The parts of computeMeasures, each filling in its own measures.
namespace rrscope::hrv {

using MeasureValues = std::array<MeasureValue, kMeasureCount>;

inline void setMeasure(MeasureValues& values, Measure measure, MeasureValue value) {
  values[static_cast<std::size_t>(measure)] = value;
}

// Mean, median, IQR, SDNN, CVNN, RMSSD, SDSD, NN50/NN20 and their rates, heart rates.
void addTimeDomain(std::span<const double> intervalsMs, MeasureValues& values);

// SDANN and SDNNI over the 5-minute segments.
void addSegmentMeasures(std::span<const double> intervalsMs, MeasureValues& values);

// HTI and TINN; also stores the histogram and the triangle.
void addGeometric(std::span<const double> intervalsMs, Measures& measures);

// SD1, SD2, their ratio and the ellipse area.
void addPoincare(std::span<const double> intervalsMs, MeasureValues& values);

// Band powers, their ratios and peaks of the Welch, AR and Lomb–Scargle
// spectra; also stores the spectra.
void addFrequencyDomain(std::span<const double> intervalsMs, const MeasureOptions& options,
                        Measures& measures);

// Sample and approximate entropy, and the DFA exponents; also stores the
// DFA curve.
void addNonlinear(std::span<const double> intervalsMs, Measures& measures);

}  // namespace rrscope::hrv
