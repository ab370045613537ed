#include "batch/csv_rows.h"

#include "batch/beat_run.h"
#include "batch/figures_text.h"
#include "batch/hrv_fields.h"
#include "batch/numeric_figures.h"
#include "pipeline/measure_csv.h"

namespace rrscope::batch {
namespace {

// The figures' line without its line feed, for more columns to follow.
std::string withoutLineFeed(std::string line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  return line;
}

}  // namespace

std::string csvHeader(const BatchOptions& options) {
  std::string out = withoutLineFeed(figuresCsvHeader()) + numericCsvHeaderColumns();
  if (options.beats.active()) out += beatCsvHeaderColumns();
  if (options.withHrv)
    out += pipeline::measureCsvColumns() + detrendCsvHeaderColumns(options.measures);
  return out + '\n';
}

std::string csvRow(const RunOutcome& outcome, const BatchOptions& options) {
  if (options.windows) {
    return windowCsvRows(outcome.file, optionWindows(options, analysedIntervalsMs(outcome)),
                         options);
  }
  std::string out = withoutLineFeed(figuresCsvRow(outcome));
  appendNumericCsvFields(out, outcome);
  if (options.beats.active()) appendBeatCsvFields(out, options.beats, outcome);
  if (options.withHrv) {
    pipeline::appendMeasureCsvFields(
        out, hrv::computeMeasures(analysedIntervalsMs(outcome), options.measures));
    appendDetrendCsvFields(out, options.measures);
  }
  return out + '\n';
}

}  // namespace rrscope::batch
