// The figures of a run: observation and recording time, mean heart rate, the
// scattergram's shift caption and the number of analysed intervals.
#include <cmath>
#include <string>

#include "analysis/run_error.h"
#include "charts/chart_constants.h"
#include "charts/chart_stages.h"
#include "text/number_text.h"

namespace rrscope::charts {
namespace {

// The detection found too little: the threshold is what the user can change.
[[noreturn]] void throwTooLittleDetected(const analysis::RunContext& run,
                                         analysis::ErrorCause cause) {
  throw analysis::RunError(
      {.cause = cause,
       .fields = {{analysis::TextBox::Text1, run.window.text(analysis::TextBox::Text1)}},
       .count = run.values.peakEnd - 1});
}

// Fewer than two peaks: when there was no sample to search, the threshold is
// not to blame, and the report says so.
analysis::ErrorCause whyTooFewPeaks(const analysis::RunContext& run) {
  if (run.values.sampleEnd > 1) return analysis::ErrorCause::tooFewPeaks;
  // A Command2 run before any file was loaded finds the caption of sam empty.
  return run.window.caption(analysis::Caption::sam).empty() ? analysis::ErrorCause::noFileLoaded
                                                            : analysis::ErrorCause::noSamples;
}

// The time from the first peak to the last one that closes an analysed
// interval, that is the sum of the analysed intervals, in seconds.
void showObservationTime(analysis::RunContext& run) {
  const std::int64_t lastPeak = run.values.peakEnd - 2;
  if (lastPeak < 1) throwTooLittleDetected(run, whyTooFewPeaks(run));
  const double last = run.state.PeakTimes.at(lastPeak);
  const double seconds = (last - run.state.PeakTimes.at(1)) / analysis::kSamplesPerSecond;
  run.window.setCaption(analysis::Caption::Label21, text::signedNumberText(seconds));
}

// sam shows the number of samples of the loaded file.
void showRecordingTime(analysis::RunContext& run) {
  const double seconds = parseCaption(run, analysis::Caption::sam) / analysis::kSamplesPerSecond;
  run.window.setCaption(analysis::Caption::TR, text::signedNumberText(seconds) + " c");
}

// The rate is computed from the observation time as the label shows it, and
// rounded down: a rate just short of 60 reads 59.
void showMeanHeartRate(analysis::RunContext& run) {
  const std::int64_t intervals = run.values.peakEnd - 3;
  const double observed = parseCaption(run, analysis::Caption::Label21);
  if (observed == 0) {
    throwTooLittleDetected(run, intervals == 0 ? analysis::ErrorCause::noIntervals
                                               : analysis::ErrorCause::zeroObservationTime);
  }
  const double rate = std::floor(static_cast<double>(60 * intervals) / observed);
  if (!(std::fabs(rate) < 9e18))
    throwTooLittleDetected(run, analysis::ErrorCause::heartRateBeyondRange);
  run.window.setCaption(analysis::Caption::Label22,
                        text::wholeNumberText(static_cast<std::int64_t>(rate)));
}

// The scattergram's vertical axis caption shows the shift as Text9 holds it
// after the scattergram may have lowered it.
void showShiftCaption(analysis::RunContext& run) {
  run.window.setCaption(analysis::Caption::Label16,
                        "RRi+" + run.window.text(analysis::TextBox::Text9) + ",    с");
}

}  // namespace

void showRhythmStatistics(analysis::RunContext& run) {
  showObservationTime(run);
  showRecordingTime(run);
  showMeanHeartRate(run);
  showShiftCaption(run);
}

void showIntervalCount(analysis::RunContext& run) {
  run.window.setCaption(analysis::Caption::Label8, text::wholeNumberText(run.values.peakEnd - 3));
}

}  // namespace rrscope::charts
