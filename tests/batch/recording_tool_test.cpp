// rrscope-batch on EDF and WFDB recordings made here: the program runs as a
// user would run it and its lines and files are read back.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "batch_tool_runner.h"
#include "recordings/wfdb_annotations.h"
#include "recordings/wfdb_writer.h"
#include "tests/beats/synthetic_record.h"
#include "tests/recordings/edf_file.h"

namespace rrscope {
namespace {

using test::runTool;
using test::ToolResult;

// The field that a recording's CSV column should hold, taken from its JSON
// line: the value under the column's name, in "hrv" for a measure, or the
// member of an object named before one of the "_" ("scoring_tp",
// "classes_count_V").
nlohmann::json valueOfColumn(const nlohmann::json& line, const std::string& column) {
  if (line.contains(column)) return line[column];
  if (line.contains("hrv") && line["hrv"].contains(column)) return line["hrv"][column];
  for (std::size_t split = column.find('_'); split != std::string::npos;
       split = column.find('_', split + 1)) {
    const std::string object = column.substr(0, split);
    if (line.contains(object) && line[object].is_object()) {
      return line[object].value(column.substr(split + 1), nlohmann::json());
    }
  }
  return {};
}

void expectFieldHoldsValue(const std::string& field, const nlohmann::json& value) {
  if (value.is_null()) {
    EXPECT_EQ(field, "");
  } else if (value.is_string()) {
    EXPECT_EQ(field, value.get<std::string>());
  } else if (value.is_array()) {
    std::string joined;
    for (const auto& item : value) joined += (joined.empty() ? "" : "; ") + item.get<std::string>();
    EXPECT_EQ(field, joined);
  } else {
    EXPECT_EQ(std::stod(field), value.get<double>());
  }
}

// The shortest text that reads back to the same double.
std::string shortest(double value) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

std::size_t lineCount(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return static_cast<std::size_t>(
      std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
}

class RecordingTool : public test::ToolTest {
 protected:
  // Three minutes at 250 per second: a respiration-like first signal and
  // the lead, with the beats and a rhythm note in the .atr file.
  QString writeWfdb(const QString& name) const {
    const std::vector<std::int16_t> breathing(lead_.adc.size(), 100);
    recordings::writeWfdbRecord(path(name).toStdString(),
                                {{250, 1}, 16, 200.0, 0, {"Resp", "MLII"}, {breathing, lead_.adc}});
    std::vector<recordings::Annotation> annotations{{0, 28}};
    for (const std::int64_t beat : lead_.beats) annotations.push_back({beat, 1});
    recordings::writeAnnotations((path(name) + ".atr").toStdString(), annotations);
    return path(name + ".hea");
  }

  QString writeEdf(const QString& name, const char* label) const {
    std::vector<double> mv;
    for (const std::int16_t adc : lead_.adc) mv.push_back(adc / 200.0);
    ::writeEdf(path(name).toStdString(), EDFLIB_FILETYPE_EDFPLUS, {{label, 250, mv}});
    return path(name);
  }

  double meanDesignedIntervalMs() const {
    return static_cast<double>(lead_.beats.back() - lead_.beats.front()) * 1000.0 / lead_.rate /
           static_cast<double>(lead_.beats.size() - 1);
  }

  test::SyntheticLead lead_ = test::syntheticLead(250, 180);
};

TEST_F(RecordingTool, AWfdbRecordIsAnalysedAtItsOwnRateAndScoredAgainstItsAnnotations) {
  const ToolResult result = runTool(
      {"--hrv", "--correct", "--peaks", "--reference=atr", writeWfdb(QStringLiteral("rec"))});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ASSERT_EQ(result.json().size(), 1u);
  const nlohmann::json line = result.json().front();
  EXPECT_EQ(line["channel"], "MLII");
  EXPECT_EQ(line["rate_hz"], 250);
  EXPECT_EQ(line["samples"], lead_.adc.size());
  EXPECT_DOUBLE_EQ(line["duration_s"].get<double>(), 180.0);
  EXPECT_EQ(line["beats"], lead_.beats.size());
  EXPECT_EQ(line["scoring"]["tp"], lead_.beats.size());
  EXPECT_EQ(line["scoring"]["fp"], 0);
  EXPECT_NEAR(line["hrv"]["mean_nn_ms"].get<double>(), meanDesignedIntervalMs(), 1.0);
  ASSERT_EQ(line["peaks"].size(), lead_.beats.size());
  for (std::size_t i = 0; i < lead_.beats.size(); ++i) {
    // 1-based positions at the recording's rate, within the QRS complex.
    EXPECT_NEAR(line["peaks"][i].get<double>(), static_cast<double>(lead_.beats[i] + 1), 10.0);
  }
  EXPECT_TRUE(line["error"].is_null());
}

// --signal all exports every signal, exactly as the file holds it, at its
// own rate, while the beats still come from the ECG lead; the samples the
// file marks as having no value are empty there, counted, and their
// stretch is unreadable for the analysis. Without --export-csv it is a
// usage error.
TEST_F(RecordingTool, TheCsvExportIsExactAndInvalidSamplesAreNeverInvented) {
  std::vector<std::int16_t> adc = lead_.adc;
  constexpr std::int16_t kNoValue = -32768;  // format 16's invalid value
  for (std::size_t i = 5000; i < 5250; ++i) adc[i] = kNoValue;
  const std::vector<std::int16_t> breathing(adc.size(), 100);
  recordings::writeWfdbRecord(path("gap").toStdString(),
                              {{250, 1}, 16, 200.0, 0, {"Resp", "MLII"}, {breathing, adc}});
  const ToolResult result = runTool(
      {"--signal", "all", "--correct", "--hrv", "--export-csv", folder_.path(), path("gap.hea")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const nlohmann::json line = result.json().front();
  EXPECT_EQ(line["channel"], "MLII");
  EXPECT_GE(line["beats"].get<std::size_t>(), lead_.beats.size() - 2);
  EXPECT_EQ(line["invalid_samples"], 250);
  ASSERT_FALSE(line["unreadable"].empty());
  const double start = line["unreadable"][0][0], end = line["unreadable"][0][1];
  EXPECT_LE(start, 5000 / 250.0);
  EXPECT_GE(end, 5250 / 250.0);

  std::ifstream csv(path("gap.csv").toStdString());
  std::string row;
  std::getline(csv, row);
  EXPECT_EQ(row, "sample,time_s,Resp (mV),MLII (mV)");
  std::size_t rows = 0;
  for (; std::getline(csv, row); ++rows) {
    const std::int16_t value = adc[rows];
    ASSERT_EQ(row, std::to_string(rows) + "," + shortest(static_cast<double>(rows) / 250) +
                       ",0.5," + (value == kNoValue ? std::string() : shortest(value / 200.0)))
        << rows;
  }
  EXPECT_EQ(rows, adc.size());

  test::expectUsageError(runTool({"--signal", "all", path("gap.hea")}),
                         "--signal all goes with --export-csv");
}

// --leads all reads every ECG lead and names them; the respiration signal
// stays out, and the leads of a clean record agree on every beat.
TEST_F(RecordingTool, AllLeadsOfARecordAreNamedAndAgree) {
  const QString record = path(QStringLiteral("leads.hea"));
  const std::vector<std::int16_t> breathing(lead_.adc.size(), 100);
  recordings::writeWfdbRecord(
      path(QStringLiteral("leads")).toStdString(),
      {{250, 1}, 16, 200.0, 0, {"Resp", "MLII", "V5"}, {breathing, lead_.adc, lead_.adc}});
  for (const QString& leads : {QStringLiteral("one"), QStringLiteral("all")}) {
    const ToolResult result = runTool({"--leads", leads, "--signal", "V5", record});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const nlohmann::json line = result.json().front();
    EXPECT_EQ(line["channel"], "V5");
    EXPECT_EQ(line["leads"],
              leads == "all" ? nlohmann::json({"V5", "MLII"}) : nlohmann::json({"V5"}));
    EXPECT_EQ(line["beats"], lead_.beats.size());
  }
}

TEST_F(RecordingTool, AnEdfFileAndItsNamedChannelGiveTheSameBeats) {
  const QString edf = writeEdf(QStringLiteral("holter.edf"), "ECG II");
  const ToolResult result = runTool({"--signal", "ecg ii", edf});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const nlohmann::json line = result.json().front();
  EXPECT_EQ(line["format"], "edf");
  EXPECT_EQ(line["channel"], "ECG II");
  EXPECT_EQ(line["rate_hz"], 250);
  EXPECT_EQ(line["beats"], lead_.beats.size());
  EXPECT_FALSE(line.contains("hrv"));
}

// A recording that cannot be read stops only its own line or row, which
// names the file and the fault; with --csv every row stands under one
// header, and every column holds the value of the recording's JSON line.
TEST_F(RecordingTool, BadRecordingsKeepTheirRowsAndCsvColumnsHoldTheJsonValues) {
  writeWfdb(QStringLiteral("cut"));
  std::filesystem::resize_file(path(QStringLiteral("cut.dat")).toStdString(), 1001);
  const QStringList arguments = {"--hrv",
                                 "--correct",
                                 "--reference=atr",
                                 "--",
                                 path(QStringLiteral("cut.hea")),
                                 writeEdf(QStringLiteral("resp.edf"), "Resp"),
                                 writeWfdb(QStringLiteral("good"))};
  const ToolResult jsonRun = runTool(arguments);
  const ToolResult csvRun = runTool(QStringList{"--csv"} + arguments);
  EXPECT_EQ(jsonRun.exitCode, 1);
  EXPECT_EQ(csvRun.exitCode, 1);
  const std::vector<nlohmann::json> json = jsonRun.json();
  const std::vector<std::string> rows = csvRun.outLines();
  ASSERT_EQ(json.size(), 3u);
  ASSERT_EQ(rows.size(), 4u) << csvRun.out;
  for (std::size_t i = 0; i < json.size(); ++i) {
    SCOPED_TRACE(rows[i + 1]);
    const auto record = test::csvRecord(rows[0], rows[i + 1]);
    for (const auto& [column, field] : record) {
      SCOPED_TRACE(column);
      if (column != "hrv_undefined") expectFieldHoldsValue(field, valueOfColumn(json[i], column));
    }
  }
  EXPECT_NE(rows[0].find(",classes_count_V,"), std::string::npos) << rows[0];
  EXPECT_NE(rows[0].find(",burden_V_pct,"), std::string::npos) << rows[0];
  // The wording of each fault is the readers' own test.
  const auto cut = test::csvRecord(rows[0], rows[1]);
  EXPECT_EQ(cut.at("error_kind"), "recording");
  EXPECT_EQ(cut.at("error_stage"), "readRecording");
  EXPECT_NE(test::csvRecord(rows[0], rows[2]).at("error_message"), "");
  // Three minutes of beats leave the five-minute segments undefined.
  const auto good = test::csvRecord(rows[0], rows[3]);
  EXPECT_NE(good.at("hrv_undefined")
                .find("sdann_ms: " + json[2]["hrv_undefined"]["sdann_ms"].get<std::string>()),
            std::string::npos);
  EXPECT_NE(good.at("rmssd_ms"), "");
}

// The reference of a clean record labels some beats V, one F and one '?':
// whatever the classes of the detections, their counts, the burden and the
// scoring of each class follow from the letters of the line.
TEST_F(RecordingTool, ClassedBeatsAreCountedAndScoredAgainstTheReferenceLabels) {
  const QString header = writeWfdb(QStringLiteral("rec"));
  std::string labels;
  std::vector<recordings::Annotation> annotations;
  for (std::size_t i = 0; i < lead_.beats.size(); ++i) {
    labels += i == 20 ? 'F' : i == 30 ? '?' : i % 10 == 5 ? 'V' : 'N';
    annotations.push_back({lead_.beats[i], recordings::beatCode(labels.back())});
  }
  recordings::writeAnnotations(path(QStringLiteral("rec.atr")).toStdString(), annotations);

  const ToolResult result = runTool({"--classes", "--reference=atr", header});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const nlohmann::json line = result.json().front();
  const std::string classes = line["classes"];
  ASSERT_EQ(classes.size(), line["peaks"].size());
  ASSERT_EQ(classes.size(), lead_.beats.size());
  ASSERT_EQ(line["scoring"]["tp"], lead_.beats.size());  // detection i is reference beat i
  EXPECT_EQ(classes.find_first_not_of("NSVFQ"), std::string::npos) << classes;
  // Without --correct the series stays RR and keeps every interval.
  EXPECT_EQ(line["series"], "RR");
  EXPECT_EQ(line["ectopic"], "exclude");
  EXPECT_EQ(line["ectopic_intervals"], 0);
  for (const char letter : std::string("NSVFQ")) {
    const std::string key(1, letter);
    EXPECT_EQ(line["classes_count"][key], std::ranges::count(classes, letter)) << letter;
  }
  EXPECT_DOUBLE_EQ(line["burden"]["V_pct"].get<double>(),
                   100.0 * static_cast<double>(std::ranges::count(classes, 'V')) /
                       static_cast<double>(classes.size()));

  // The arithmetic of each class's score is the class scoring's own test;
  // here, that the labels reach it: V on the V, F and '?' beats.
  const nlohmann::json& scored = line["scoring"]["classes"];
  EXPECT_FALSE(scored.contains("Q"));
  for (const char letter : std::string("NSVF"))
    EXPECT_TRUE(scored.contains(std::string(1, letter)));
  EXPECT_EQ(scored["V"]["reference"], std::ranges::count(labels, 'V'));
  EXPECT_EQ(scored["F"]["reference"], 1);
  EXPECT_EQ(scored["N"]["reference"], std::ranges::count(labels, 'N'));

  // A reference of positions alone has no labels to score the classes by.
  std::string positions;
  for (const std::int64_t beat : lead_.beats) positions += std::to_string(beat + 1) + "\n";
  writeFile(QStringLiteral("rec.beats"), positions);
  const nlohmann::json unlabelled =
      runTool({"--classes", "--reference-suffix=.beats", header}).json().front();
  EXPECT_EQ(unlabelled["scoring"]["tp"], lead_.beats.size());
  EXPECT_FALSE(unlabelled["scoring"].contains("classes"));
}

TEST_F(RecordingTool, TheCorrectedSeriesTellsHowItTreatsEctopicIntervals) {
  const QString header = writeWfdb(QStringLiteral("rec"));
  const nlohmann::json line =
      runTool({"--correct", "--ectopic=interpolate", header}).json().front();
  EXPECT_EQ(line["series"], "NN");
  EXPECT_EQ(line["ectopic"], "interpolate");
  EXPECT_LE(line["interpolated_intervals"].get<int>(), line["ectopic_intervals"].get<int>());
  EXPECT_FALSE(line.contains("classes"));  // the letters come with --classes alone
  EXPECT_FALSE(line.contains("peaks"));
  // The clean record needs no correction: the beats the series comes from
  // are those detected, each counted once.
  ASSERT_EQ(line["corrections"]["extra"], 0);
  ASSERT_EQ(line["corrections"]["missed"], 0);
  long long counted = 0;
  for (const auto& [letter, count] : line["classes_count"].items()) counted += count.get<int>();
  EXPECT_EQ(counted, line["beats"].get<long long>());

  // Neither goes without a recording's samples, nor --ectopic without the
  // correction whose series it shapes.
  const QString text = writeFile(QStringLiteral("ecg.txt"), "0\n1\n0\n");
  for (const QStringList& misuse :
       {QStringList{"--classes", text}, QStringList{"--ectopic=exclude", "--correct", text},
        QStringList{"--ectopic=interpolate", header}, QStringList{"--ectopic=drop", header}}) {
    test::expectUsageError(runTool(misuse), "see --help");
  }
}

TEST_F(RecordingTool, TextExportCarriesTheReferenceBeatsAsLineNumbers) {
  const QString record = writeWfdb(QStringLiteral("rec"));
  const ToolResult result = runTool({"--to-text", path(QStringLiteral("text")), "--beats", record});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // 45,000 samples at 250 per second: the last line is at sample 44,999.
  EXPECT_EQ(lineCount(path(QStringLiteral("text/rec.txt"))), 44'999u * 24 + 1);
  std::ifstream beats(path(QStringLiteral("text/rec-beats.txt")).toStdString());
  std::int64_t first = 0;
  beats >> first;
  EXPECT_EQ(first, lead_.beats.front() * 24 + 1);
  EXPECT_EQ(lineCount(path(QStringLiteral("text/rec-beats.txt"))), lead_.beats.size());
}

TEST_F(RecordingTool, TheReportIsAnA4PdfAndPng) {
  const ToolResult result =
      runTool({"--correct", "--report", path(QStringLiteral("report")), writeWfdb("rec")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(test::readFile(path(QStringLiteral("report/rec.pdf"))).starts_with("%PDF-"));
  EXPECT_EQ(QImage(path(QStringLiteral("report/rec.png"))).size(), QSize(1240, 1754));
}

}  // namespace
}  // namespace rrscope
