#pragma once

#include <vector>

#include "analysis/analysis_state.h"

namespace rrscope::analysis {

// The RR series of the last run in milliseconds: RRIntervals at positions 1
// to peakEnd - 3, which is all the state keeps, times 1000 / kSamplesPerSecond.
// Empty when the run stopped before forming the series.
inline std::vector<double> rrSeriesMilliseconds(const AnalysisState& state) {
  std::vector<double> intervals;
  intervals.reserve(state.RRIntervals.written().size());
  for (const double samples : state.RRIntervals.written())
    intervals.push_back(samples * 1000 / kSamplesPerSecond);
  return intervals;
}

}  // namespace rrscope::analysis
