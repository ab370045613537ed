#pragma once

#include <span>
#include <string>
#include <string_view>

#include "batch/json_line.h"
#include "batch/run_outcome.h"

namespace rrscope::batch {

// Adds "file", "parameters" and "captions", the captions after the run.
void addFigures(const RunOutcome& outcome, JsonLine& line);

// Adds "error": null, or the kind, stage and message of the run's error;
// when the run completed but an output could not be written, that failure,
// of kind "cannot-write" and stage "writeOutputs".
void addRunError(const RunOutcome& outcome, JsonLine& line);

// Adds "rr", the analysed RR series in samples.
void addSeries(const RunOutcome& outcome, JsonLine& line);

// The header line of the CSV output and one row of it, each ended by a line
// feed. The columns are the file, the captions after the run and the error.
std::string figuresCsvHeader();
std::string figuresCsvRow(const RunOutcome& outcome);

// Appends a CSV field, quoted when it holds a separator, a quote, a line
// break or blanks at its ends; bytes that are not UTF-8 become U+FFFD.
void appendCsvField(std::string& out, std::string_view text);

// Appends a comma and a value of a JSON line as a field: a text as it is, a
// number as JSON writes it, null as nothing.
void appendJsonCsvField(std::string& out, const JsonLine& value);

// Appends the members of the line's object `key` as such fields, one per
// name of `members`; all empty when the line holds no such object.
void appendJsonObjectCsvFields(std::string& out, const JsonLine& line, std::string_view key,
                               std::span<const std::string_view> members);

}  // namespace rrscope::batch
