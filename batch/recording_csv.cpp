#include "batch/recording_csv.h"

#include <array>
#include <string_view>

#include "batch/beat_run.h"
#include "batch/class_fields.h"
#include "batch/figures_text.h"
#include "batch/hrv_fields.h"
#include "pipeline/measure_csv.h"

namespace rrscope::batch {
namespace {

// The line's plain values, in the order of the line; the beat columns
// (detector, series, corrections, scoring) and, for classed beats, the
// class columns follow them.
constexpr std::array<std::string_view, 15> kRecordingKeys = {"file",           "format",
                                                             "channel",        "units",
                                                             "rate_hz",        "duration_s",
                                                             "samples",        "beats",
                                                             "intervals",      "pauses",
                                                             "unreadable_s",   "invalid_samples",
                                                             "excluded_beats", "excluded_intervals",
                                                             "warnings"};

constexpr std::array<std::string_view, 3> kErrorKeys = {"kind", "stage", "message"};

// A list (the warnings) as one field, its items joined by "; ".
JsonLine csvValue(const JsonLine& value) {
  if (!value.is_array()) return value;
  std::string joined;
  for (const JsonLine& item : value) {
    if (!joined.empty()) joined += "; ";
    joined += item.is_string() ? item.get<std::string>() : item.dump();
  }
  return joined;
}

}  // namespace

std::string recordingCsvHeader(const BatchOptions& options) {
  std::string out;
  for (const std::string_view key : kRecordingKeys) {
    if (!out.empty()) out += ',';
    out += key;
  }
  out += beatCsvHeaderColumns();
  if (options.beats.classifies()) out += classCsvHeaderColumns();
  if (options.withHrv)
    out += pipeline::measureCsvColumns() + detrendCsvHeaderColumns(options.measures);
  for (const std::string_view key : kErrorKeys) out += ",error_" + std::string(key);
  return out + '\n';
}

std::string recordingCsvRow(const RecordingLineContent& content) {
  if (content.options.windows) {
    return content.analysis == nullptr
               ? std::string()
               : windowCsvRows(content.file, recordingWindows(*content.analysis, content.options),
                               content.options);
  }
  const JsonLine line = recordingObject(content);
  std::string out;
  for (const std::string_view key : kRecordingKeys) {
    appendJsonCsvField(out, csvValue(line.value(key, JsonLine())));
  }
  out.erase(0, 1);  // the comma before the first field
  appendBeatCsvFields(out, line);
  if (content.options.beats.classifies()) appendClassCsvFields(out, line);
  if (content.options.withHrv) {
    if (content.analysis != nullptr && content.analysis->measures) {
      pipeline::appendMeasureCsvFields(out, *content.analysis->measures);
    } else {
      appendNoHrvCsvFields(out);
    }
    appendDetrendCsvFields(out, content.options.measures);
  }
  const JsonLine& error = line["error"];
  for (const std::string_view key : kErrorKeys) {
    appendJsonCsvField(out, error.is_null() ? JsonLine() : error.value(key, JsonLine()));
  }
  return out + '\n';
}

}  // namespace rrscope::batch
