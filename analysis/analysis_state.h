#pragma once

#include <cstdint>

#include "analysis/number_array.h"
#include "analysis/sample_lines.h"

namespace rrscope::analysis {

// Sample files are taken as recorded at this rate: positions and interval
// lengths count samples, and seconds are samples divided by it.
inline constexpr double kSamplesPerSecond = 6000;

// The data that lives with the window between clicks. The members keep the
// names under which the window's code knows them.
struct AnalysisState {
  analysis::SampleLines SampleLines;             // lines of the last loaded file
  NumberArray PeakTimes{Series::peakTimes};      // sample position of each detected R peak
  NumberArray RRIntervals{Series::rrIntervals};  // distance in samples between neighbouring peaks
  std::int16_t DebugPage = 0;                    // the RR interval the debug frame centres on
};

}  // namespace rrscope::analysis
