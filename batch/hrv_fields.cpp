#include "batch/hrv_fields.h"

#include <charconv>

#include "batch/beat_run.h"

namespace rrscope::batch {
namespace {

std::string keyText(hrv::Measure measure) {
  return std::string(hrv::measureKey(measure));
}

// The shortest text that reads back to the same double.
void appendShortest(std::string& out, double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

}  // namespace

void addHrvMeasures(const hrv::Measures& measures, JsonLine& line) {
  JsonLine values = JsonLine::object();
  JsonLine reasons = JsonLine::object();
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const hrv::MeasureValue& value = measures[measure];
    if (value.defined()) {
      values[keyText(measure)] = jsonNumber(value.value());
    } else {
      values[keyText(measure)] = nullptr;
      reasons[keyText(measure)] = std::string(hrv::undefinedText(value.reason()));
    }
  }
  line["hrv"] = std::move(values);
  line["hrv_undefined"] = std::move(reasons);
}

void addRunHrv(const RunOutcome& outcome, JsonLine& line) {
  addHrvMeasures(hrv::computeMeasures(analysedIntervalsMs(outcome)), line);
}

std::string hrvCsvHeaderColumns() {
  std::string out;
  for (const hrv::Measure measure : hrv::allMeasures()) {
    out += ',';
    out += hrv::measureKey(measure);
  }
  out += ",hrv_undefined";
  return out;
}

// The reasons hold neither commas nor quotes, so no field needs quoting.
void appendHrvCsvFields(std::string& out, const hrv::Measures& measures) {
  std::string reasons;
  for (const hrv::Measure measure : hrv::allMeasures()) {
    out += ',';
    const hrv::MeasureValue& value = measures[measure];
    if (value.defined()) {
      appendShortest(out, value.value());
      continue;
    }
    if (!reasons.empty()) reasons += "; ";
    reasons += hrv::measureKey(measure);
    reasons += ": ";
    reasons += hrv::undefinedText(value.reason());
  }
  out += ',';
  out += reasons;
}

void appendNoHrvCsvFields(std::string& out) {
  out.append(hrv::allMeasures().size() + 1, ',');
}

}  // namespace rrscope::batch
