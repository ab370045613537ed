#include "pipeline/measure_csv.h"

#include "recordings/shortest_text.h"

namespace rrscope::pipeline {

using recordings::appendShortest;

std::string measureCsvColumns() {
  std::string out;
  for (const hrv::Measure measure : hrv::allMeasures()) {
    out += ',';
    out += hrv::measureKey(measure);
  }
  out += ",hrv_undefined";
  return out;
}

// The reasons hold neither commas nor quotes, so no field needs quoting.
void appendMeasureCsvFields(std::string& out, const hrv::Measures& measures) {
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

}  // namespace rrscope::pipeline
