#include "analysis/run_values.h"

#include <string>

#include "analysis/run_error.h"
#include "text/numeric_parse.h"

namespace rrscope::analysis {

double parseTextBox(const RunContext& run, TextBox box) {
  std::string text = run.window.text(box);
  if (const auto value = text::numericParse(text)) return *value;
  throw RunError({.cause = ErrorCause::parameterBeyondRange, .fields = {{box, std::move(text)}}});
}

double parseCaption(const RunContext& run, Caption label) {
  std::string text = run.window.caption(label);
  if (const auto value = text::numericParse(text)) return *value;
  throw RunError(
      {.cause = ErrorCause::captionBeyondRange, .caption = label, .text = std::move(text)});
}

double parseSampleLine(const SampleLines& lines, std::int64_t position) {
  const std::string_view line = lines.line(position);
  if (const auto value = text::numericParse(line)) return *value;
  // Only the start of a long line is quoted; copying all of it would cost as
  // much memory as the line.
  const std::string_view start = line.substr(0, 4 * (kQuotedCharacters + 1));
  throw RunError(
      {.cause = ErrorCause::sampleBeyondRange, .text = std::string(start), .line = position});
}

}  // namespace rrscope::analysis
