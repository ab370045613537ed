#pragma once

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "batch/run_outcome.h"

namespace rrscope::batch {

// One file's line of figures, its keys in the order they were added.
using JsonLine = nlohmann::ordered_json;

// Adds the keys of one concern (figures, series, ...) to a file's line.
using LinePart = std::function<void(const RunOutcome&, JsonLine&)>;

// The line as text, ended by a line feed. Bytes that are not UTF-8 become
// U+FFFD, so the line stays valid JSON whatever the file names hold.
std::string jsonLineText(const JsonLine& line);

// `text` with the bytes that are not UTF-8 replaced by U+FFFD, exactly as
// jsonLineText replaces them, for outputs that are not JSON.
std::string validUtf8(std::string_view text);

// A number as JSON writes it: whole numbers without a fraction, the
// shortest text that reads back to the same double otherwise, and null for
// infinities and NaN, which JSON cannot hold.
JsonLine jsonNumber(double value);

}  // namespace rrscope::batch
