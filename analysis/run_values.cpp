#include "analysis/run_values.h"

#include <string>

#include "analysis/run_error.h"
#include "text/numeric_parse.h"

namespace rrscope {

double parseTextBox(const RunContext& run, TextBox box, const char* meaning) {
  const std::string text = run.window.text(box);
  if (const auto value = text::numericParse(text)) return *value;
  throw RunError(ErrorKind::overflow, std::string("the ") + meaning + " \"" + text +
                                          "\" lies beyond the range of numbers; enter a "
                                          "smaller value");
}

double parseCaption(const RunContext& run, Caption label) {
  const std::string text = run.window.caption(label);
  if (const auto value = text::numericParse(text)) return *value;
  throw RunError(
      ErrorKind::overflow,
      "the caption \"" + text + "\" lies beyond the range of numbers; open the file again");
}

double parseSampleLine(const SampleLines& lines, std::int64_t position) {
  const std::string_view line = lines.line(position);
  if (const auto value = text::numericParse(line)) return *value;
  constexpr std::size_t kShown = 40;
  const std::string shown =
      line.size() > kShown ? std::string(line.substr(0, kShown)) + "..." : std::string(line);
  throw RunError(ErrorKind::overflow, "the sample on line " + std::to_string(position) + " (\"" +
                                          shown +
                                          "\") lies beyond the range of numbers; correct that "
                                          "line of the file");
}

}  // namespace rrscope
