#include "batch/numeric_figures.h"

#include <charconv>

#include "text/strict_number.h"

namespace rrscope::batch {
namespace {

std::optional<double> captionNumber(std::string_view caption) {
  const text::StrictNumber number = text::strictNumber(caption);
  if (number.failure != text::StrictFailure::none) return std::nullopt;
  return number.value;
}

// The recording time's caption ends in its unit, " c".
std::optional<double> numberBeforeUnit(std::string_view caption) {
  const auto blank = caption.find_last_of(' ');
  if (blank == std::string_view::npos) return std::nullopt;
  return captionNumber(caption.substr(0, blank));
}

// The captions round to 15 digits; where a caption shows the figure, the
// number is taken from what the caption was computed from, exactly.
double observedSeconds(const analysis::AnalysisState& state) {
  double samples = 0;
  for (const double interval : state.RRIntervals.written()) samples += interval;
  return samples / analysis::kSamplesPerSecond;
}

void appendField(std::string& out, std::optional<double> value) {
  out += ',';
  if (!value) return;
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, *value);
  out.append(buffer, result.ptr);
}

JsonLine jsonField(std::optional<double> value) {
  return value ? jsonNumber(*value) : JsonLine(nullptr);
}

}  // namespace

NumericFigures numericFigures(const RunOutcome& outcome) {
  const analysis::RunWindow& window = outcome.window;
  NumericFigures figures;
  figures.samples = captionNumber(window.caption(analysis::Caption::sam));
  if (figures.samples && numberBeforeUnit(window.caption(analysis::Caption::TR)))
    figures.recordingSeconds = *figures.samples / analysis::kSamplesPerSecond;
  if (captionNumber(window.caption(analysis::Caption::Label21)))
    figures.observationSeconds = observedSeconds(outcome.state);
  figures.meanHeartRate = captionNumber(window.caption(analysis::Caption::Label22));
  figures.intervals = captionNumber(window.caption(analysis::Caption::Label8));
  return figures;
}

void addNumericFigures(const RunOutcome& outcome, JsonLine& line) {
  const NumericFigures figures = numericFigures(outcome);
  line["samples"] = jsonField(figures.samples);
  line["recording_s"] = jsonField(figures.recordingSeconds);
  line["observation_s"] = jsonField(figures.observationSeconds);
  line["window_mean_hr_bpm"] = jsonField(figures.meanHeartRate);
  line["intervals"] = jsonField(figures.intervals);
}

std::string numericCsvHeaderColumns() {
  return ",samples,recording_s,observation_s,window_mean_hr_bpm,intervals";
}

void appendNumericCsvFields(std::string& out, const RunOutcome& outcome) {
  const NumericFigures figures = numericFigures(outcome);
  for (const std::optional<double> value :
       {figures.samples, figures.recordingSeconds, figures.observationSeconds,
        figures.meanHeartRate, figures.intervals})
    appendField(out, value);
}

}  // namespace rrscope::batch
