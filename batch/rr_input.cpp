#include "batch/rr_input.h"

#include "batch/figures_text.h"
#include "batch/hrv_fields.h"
#include "batch/json_line.h"
#include "hrv/hrv_measures.h"
#include "pipeline/measure_csv.h"
#include "recordings/rr_file.h"

namespace rrscope::batch {
namespace {

using recordings::readRrFile;
using recordings::RrSeries;

// A file that cannot be read has no series: its intervals and measures are
// null rather than those of an empty series.
std::string rrJsonLine(std::string_view file, const RrSeries& series, const BatchOptions& options) {
  JsonLine line = JsonLine::object();
  line["file"] = std::string(file);
  if (series.error) {
    line["hrv"] = nullptr;
    line["hrv_undefined"] = JsonLine::object();
    line["intervals"] = nullptr;
    line["error"] = {{"kind", series.error->kind},
                     {"stage", "readIntervals"},
                     {"message", series.error->message}};
    return jsonLineText(line);
  }
  addHrvMeasures(hrv::computeMeasures(series.intervalsMs, options.measures), line);
  line["intervals"] = series.intervalsMs.size();
  if (options.windows) addWindows(optionWindows(options, series.intervalsMs), line);
  addDetrendFields(options.measures, line);
  line["error"] = nullptr;
  return jsonLineText(line);
}

std::string rrCsvRow(std::string_view file, const RrSeries& series, const BatchOptions& options) {
  // A file that cannot be read has no windows: its row is left out.
  if (options.windows) {
    return series.error ? std::string()
                        : windowCsvRows(file, optionWindows(options, series.intervalsMs), options);
  }
  std::string out;
  appendCsvField(out, file);
  out += ',';
  if (series.error) {
    // The empty intervals, measures and reasons.
    out.append(hrv::kMeasureCount + 1, ',');
    appendDetrendCsvFields(out, options.measures);
    out += ',';
    appendCsvField(out, series.error->kind);
    out += ",readIntervals,";
    appendCsvField(out, series.error->message);
    return out + '\n';
  }
  out += std::to_string(series.intervalsMs.size());
  pipeline::appendMeasureCsvFields(out, hrv::computeMeasures(series.intervalsMs, options.measures));
  appendDetrendCsvFields(out, options.measures);
  return out + ",,,\n";
}

}  // namespace

bool analyseRrFiles(const BatchOptions& options,
                    const std::function<void(std::string_view)>& write) {
  if (options.csv && options.windows) {
    write(windowCsvHeader(options));
  } else if (options.csv) {
    write("file,intervals" + pipeline::measureCsvColumns() +
          detrendCsvHeaderColumns(options.measures) + ",error_kind,error_stage,error_message\n");
  }
  bool anyError = false;
  for (const std::string& file : options.files) {
    const RrSeries series = readRrFile(file);
    anyError = anyError || series.error.has_value();
    try {
      write(options.csv ? rrCsvRow(file, series, options) : rrJsonLine(file, series, options));
    } catch (const hrv::TooManyWindows& error) {
      anyError = true;
      reportWindowLimit(options, file, error);
    }
  }
  return anyError;
}

}  // namespace rrscope::batch
