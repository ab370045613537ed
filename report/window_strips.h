#pragma once

#include <span>

#include "hrv/hrv_measures.h"
#include "report/report_content.h"

namespace rrscope::report {

// A series of this length or more gets the strips of alpha1 and RMSSD over
// time: shorter, it has too few windows to show a course.
inline constexpr double kShortestStripSeconds = 600;

// Fills the content's strips from the NN series: `endsMs` holds the end of
// each interval in ms from the start of the first (with gaps where
// intervals were left out), `totalMs` the end of the series. Nothing when
// the series is shorter than kShortestStripSeconds.
void addWindowStrips(ReportContent& content, std::span<const double> intervalsMs,
                     std::span<const double> endsMs, double totalMs);

// How the options prepared the spectra, in Russian, for the report's
// header: empty when as usual.
std::string spectrumNote(const hrv::MeasureOptions& options);

}  // namespace rrscope::report
