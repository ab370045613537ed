#include <algorithm>
#include <cmath>

#include "analysis/run_error.h"
#include "analysis/run_stages.h"

namespace rrscope::analysis {
void readDetectionParameters(RunContext& run) {
  run.values.threshold = parseTextBox(run, TextBox::Text1);
  const double guardSeconds = parseTextBox(run, TextBox::Text2);
  run.values.guardSamples = guardSeconds * kSamplesPerSecond;
  if (!std::isfinite(run.values.guardSamples)) {
    throw RunError({.cause = ErrorCause::guardBeyondRange,
                    .fields = {{TextBox::Text2, run.window.text(TextBox::Text2)}}});
  }
  run.values.peakEnd = 1;
}

// A peak is the first sample of a beat above the threshold; the guard
// interval after it keeps the rest of the beat from counting again.
void detectPeaks(RunContext& run) {
  RunValues& values = run.values;
  const SampleLines& lines = run.state.SampleLines;
  // A negative guard interval would move the scan back onto the same peak for
  // ever; it counts as no guard interval at all.
  const double guard = std::max(0.0, values.guardSamples);
  const double last = static_cast<double>(values.sampleEnd - 1);
  run.state.PeakTimes.clear();
  for (double scanPos = 1; scanPos <= last; scanPos += 1) {
    const std::int64_t position = roundedPosition(scanPos);
    checkSubscript(position, SampleLines::kCapacity, Series::sampleLines);
    if (parseSampleLine(lines, position) > values.threshold) {
      run.state.PeakTimes.set(values.peakEnd, scanPos);
      scanPos += guard;
      ++values.peakEnd;
    }
  }
}

// With K peaks the series has K - 2 intervals: the interval that the last
// peak closes is never formed.
void formRRSeries(RunContext& run) {
  NumberArray& intervals = run.state.RRIntervals;
  // Clearing the whole array, not only positions 1 to 1000, keeps a longer
  // earlier series from showing through above the new one.
  intervals.clear();
  const NumberArray& peaks = run.state.PeakTimes;
  for (std::int64_t i = 1; i <= run.values.peakEnd - 3; ++i) {
    intervals.set(i, peaks.at(i + 1) - peaks.at(i));
  }
}

}  // namespace rrscope::analysis
