#include "batch/figures_text.h"

#include <charconv>
#include <cmath>

#include "charts/display_list_json.h"

namespace rrscope::batch {
namespace {

struct CaptionColumn {
  std::string_view key;
  Caption label;
};

// The captions a run writes, in the order the figures list them; Text9
// follows them, as a run may rewrite it.
constexpr std::array<CaptionColumn, 6> kCaptionColumns = {{
    {"sam", Caption::sam},
    {"TR", Caption::TR},
    {"Label21", Caption::Label21},
    {"Label22", Caption::Label22},
    {"Label16", Caption::Label16},
    {"Label8", Caption::Label8},
}};

// The shortest text that reads back to the same double; JSON has no
// infinities, so they become null.
void appendJsonNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

void appendKey(std::string& out, std::string_view key) {
  appendJsonString(out, key);
  out += ':';
}

void appendParameters(std::string& out, const ParameterTexts& parameters) {
  out += '{';
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    if (i > 0) out += ',';
    appendKey(out, "Text" + std::to_string(i + 1));
    appendJsonString(out, parameters[i]);
  }
  out += '}';
}

void appendCaptions(std::string& out, const RunWindow& window) {
  out += '{';
  for (const CaptionColumn& column : kCaptionColumns) {
    appendKey(out, column.key);
    appendJsonString(out, window.caption(column.label));
    out += ',';
  }
  appendKey(out, "Text9");
  appendJsonString(out, window.text(TextBox::Text9));
  out += '}';
}

void appendError(std::string& out, const std::optional<RunReport>& error) {
  if (!error) {
    out += "null";
    return;
  }
  out += '{';
  appendKey(out, "kind");
  appendJsonString(out, errorKindKey(error->kind));
  out += ',';
  appendKey(out, "stage");
  appendJsonString(out, error->stage);
  out += ',';
  appendKey(out, "message");
  appendJsonString(out, error->message);
  out += '}';
}

// The state keeps exactly the intervals of the last run, positions 1 to
// peakEnd - 3, and nothing when the run stopped before forming them.
void appendSeries(std::string& out, const AnalysisState& state) {
  out += '[';
  bool first = true;
  for (const double interval : state.RRIntervals.written()) {
    if (!first) out += ',';
    first = false;
    appendJsonNumber(out, interval);
  }
  out += ']';
}

// A CSV field, quoted when it holds a separator, a quote, a line break or
// blanks at its ends, which spreadsheets would otherwise drop.
void appendCsvField(std::string& out, std::string_view field) {
  const bool quoted = field.find_first_of(",\"\r\n") != std::string_view::npos ||
                      (!field.empty() && (field.front() == ' ' || field.back() == ' '));
  if (!quoted) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string figuresJsonLine(const RunOutcome& outcome, bool withRR) {
  std::string out = "{";
  appendKey(out, "file");
  appendJsonString(out, outcome.file);
  out += ',';
  appendKey(out, "parameters");
  appendParameters(out, outcome.parameters);
  out += ',';
  appendKey(out, "captions");
  appendCaptions(out, outcome.window);
  out += ',';
  appendKey(out, "error");
  appendError(out, outcome.error);
  if (withRR) {
    out += ',';
    appendKey(out, "rr");
    appendSeries(out, outcome.state);
  }
  out += "}\n";
  return out;
}

std::string figuresCsvHeader() {
  std::string out = "file";
  for (const CaptionColumn& column : kCaptionColumns) {
    out += ',';
    out += column.key;
  }
  out += ",Text9,error_kind,error_stage,error_message\n";
  return out;
}

std::string figuresCsvRow(const RunOutcome& outcome) {
  std::string out;
  appendCsvField(out, outcome.file);
  for (const CaptionColumn& column : kCaptionColumns) {
    out += ',';
    appendCsvField(out, outcome.window.caption(column.label));
  }
  out += ',';
  appendCsvField(out, outcome.window.text(TextBox::Text9));
  const auto& error = outcome.error;
  for (const std::string_view field :
       {error ? errorKindKey(error->kind) : std::string_view(),
        error ? std::string_view(error->stage) : std::string_view(),
        error ? std::string_view(error->message) : std::string_view()}) {
    out += ',';
    appendCsvField(out, field);
  }
  out += '\n';
  return out;
}

}  // namespace rrscope::batch
