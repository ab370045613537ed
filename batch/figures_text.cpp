#include "batch/figures_text.h"

#include "analysis/error_sentence.h"

namespace rrscope::batch {
namespace {

struct CaptionColumn {
  std::string_view key;
  analysis::Caption label;
};

// The captions a run writes, in the order the figures list them; Text9
// follows them, as a run may rewrite it.
constexpr std::array<CaptionColumn, 6> kCaptionColumns = {{
    {"sam", analysis::Caption::sam},
    {"TR", analysis::Caption::TR},
    {"Label21", analysis::Caption::Label21},
    {"Label22", analysis::Caption::Label22},
    {"Label16", analysis::Caption::Label16},
    {"Label8", analysis::Caption::Label8},
}};

JsonLine parametersObject(const ParameterTexts& parameters) {
  JsonLine object = JsonLine::object();
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    object["Text" + std::to_string(i + 1)] = parameters[i];
  }
  return object;
}

JsonLine captionsObject(const analysis::RunWindow& window) {
  JsonLine object = JsonLine::object();
  for (const CaptionColumn& column : kCaptionColumns) {
    object[std::string(column.key)] = window.caption(column.label);
  }
  object["Text9"] = window.text(analysis::TextBox::Text9);
  return object;
}

struct ErrorFields {
  bool given = false;
  std::string_view kind;
  std::string_view stage;
  std::string message;
};

// What stopped the file: the run's error, or when the run completed, the
// output that could not be written.
ErrorFields errorFields(const RunOutcome& outcome) {
  if (const auto& error = outcome.error) {
    return {true, analysis::errorKindKey(error->kind()), error->stage,
            analysis::errorMessage(error->facts)};
  }
  if (const auto& failure = outcome.outputFailure) {
    return {true, "cannot-write", "writeOutputs", *failure};
  }
  return {};
}

}  // namespace

// A CSV field, quoted when it holds a separator, a quote, a line break or
// blanks at its ends, which spreadsheets would otherwise drop.
void appendCsvField(std::string& out, std::string_view text) {
  const std::string field = validUtf8(text);
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

void appendJsonCsvField(std::string& out, const JsonLine& value) {
  out += ',';
  if (value.is_null()) return;
  appendCsvField(out, value.is_string() ? value.get<std::string>() : value.dump());
}

void appendJsonObjectCsvFields(std::string& out, const JsonLine& line, std::string_view key,
                               std::span<const std::string_view> members) {
  const auto object = line.find(key);
  for (const std::string_view member : members) {
    if (object == line.end()) {
      out += ',';
      continue;
    }
    appendJsonCsvField(out, object->value(member, JsonLine()));
  }
}

void addFigures(const RunOutcome& outcome, JsonLine& line) {
  line["file"] = std::string(outcome.file);
  line["parameters"] = parametersObject(outcome.parameters);
  line["captions"] = captionsObject(outcome.window);
}

void addRunError(const RunOutcome& outcome, JsonLine& line) {
  const ErrorFields error = errorFields(outcome);
  if (!error.given) {
    line["error"] = nullptr;
    return;
  }
  line["error"] = {{"kind", std::string(error.kind)},
                   {"stage", std::string(error.stage)},
                   {"message", error.message}};
}

// The state keeps exactly the intervals of the last run, positions 1 to
// peakEnd - 3, and nothing when the run stopped before forming them.
void addSeries(const RunOutcome& outcome, JsonLine& line) {
  JsonLine series = JsonLine::array();
  for (const double interval : outcome.state.RRIntervals.written()) {
    series.push_back(jsonNumber(interval));
  }
  line["rr"] = std::move(series);
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
  appendCsvField(out, outcome.window.text(analysis::TextBox::Text9));
  const ErrorFields error = errorFields(outcome);
  for (const std::string_view field : {error.kind, error.stage, std::string_view(error.message)}) {
    out += ',';
    appendCsvField(out, field);
  }
  out += '\n';
  return out;
}

}  // namespace rrscope::batch
