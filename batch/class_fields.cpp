#include "batch/class_fields.h"

#include <array>
#include <span>
#include <string_view>

#include "batch/figures_text.h"
#include "beats/beat_class.h"
#include "pipeline/ectopic_names.h"

namespace rrscope::batch {
namespace {

// The keys of the classes, in the order of their values.
constexpr std::array<std::string_view, beats::kBeatClassCount> kClassKeys = {"N", "S", "V", "F",
                                                                             "Q"};
constexpr std::array<std::string_view, 6> kBurdenKeys = {"V_pct",  "S_pct",      "V_couplets",
                                                         "V_runs", "S_couplets", "S_runs"};

// A key of the line as CSV columns: one for a plain value, one per member
// for an object.
struct CsvColumns {
  std::string_view key;
  std::span<const std::string_view> members;
};

constexpr std::array<CsvColumns, 5> kCsvColumns = {{{"ectopic", {}},
                                                    {"classes_count", kClassKeys},
                                                    {"burden", kBurdenKeys},
                                                    {"ectopic_intervals", {}},
                                                    {"interpolated_intervals", {}}}};

std::string keyOf(beats::BeatClass beatClass) {
  return std::string(kClassKeys[static_cast<std::size_t>(beatClass)]);
}

JsonLine countsObject(const beats::ClassCounts& counts) {
  JsonLine object = JsonLine::object();
  for (const beats::BeatClass beatClass : beats::kBeatClasses) {
    object[keyOf(beatClass)] = counts[static_cast<std::size_t>(beatClass)];
  }
  return object;
}

JsonLine burdenObject(const beats::EctopicBurden& burden) {
  return {{"V_pct", jsonNumber(burden.ventricularPct)},
          {"S_pct", jsonNumber(burden.supraventricularPct)},
          {"V_couplets", burden.ventricularCouplets},
          {"V_runs", burden.ventricularRuns},
          {"S_couplets", burden.supraventricularCouplets},
          {"S_runs", burden.supraventricularRuns}};
}

JsonLine percentValue(const std::optional<double>& percent) {
  return percent ? jsonNumber(*percent) : JsonLine();
}

JsonLine classScoreObject(const beats::ClassScore& score) {
  return {{"reference", score.referenceBeats},
          {"found", score.found},
          {"sensitivity_pct", percentValue(score.sensitivityPct())},
          {"detected", score.detections},
          {"confirmed", score.confirmed},
          {"positive_predictivity_pct", percentValue(score.positivePredictivityPct())}};
}

}  // namespace

void addClassFields(const pipeline::RecordingAnalysis& analysis, const BeatOptions& options,
                    JsonLine& line) {
  line["ectopic"] = std::string(pipeline::ectopicHandlingName(options.ectopicHandling()));
  line["classes_count"] = countsObject(beats::countClasses(analysis.nnClasses));
  line["burden"] = burdenObject(beats::ectopicBurden(analysis.nnClasses));
  line["ectopic_intervals"] = analysis.ectopicIntervals;
  line["interpolated_intervals"] = analysis.interpolatedIntervals;
}

void addClassLetters(const pipeline::RecordingAnalysis& analysis, JsonLine& line) {
  line["classes"] = beats::beatClassLetters(analysis.detectedClasses);
}

JsonLine classScoringObject(const beats::ClassScoring& scoring) {
  JsonLine object = JsonLine::object();
  for (const beats::BeatClass beatClass : beats::kScoredClasses) {
    object[keyOf(beatClass)] = classScoreObject(scoring[static_cast<std::size_t>(beatClass)]);
  }
  return object;
}

std::string classCsvHeaderColumns() {
  std::string out;
  for (const CsvColumns& columns : kCsvColumns) {
    if (columns.members.empty()) out.append(",").append(columns.key);
    for (const std::string_view member : columns.members) {
      out.append(",").append(columns.key).append("_").append(member);
    }
  }
  return out;
}

void appendClassCsvFields(std::string& out, const JsonLine& line) {
  for (const CsvColumns& columns : kCsvColumns) {
    if (columns.members.empty()) {
      appendJsonCsvField(out, line.value(columns.key, JsonLine()));
    } else {
      appendJsonObjectCsvFields(out, line, columns.key, columns.members);
    }
  }
}

}  // namespace rrscope::batch
