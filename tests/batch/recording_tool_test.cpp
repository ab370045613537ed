// rrscope-batch on EDF and WFDB recordings made here: the program runs as a
// user would run it and its lines and files are read back.
#include <edflib.h>
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "recordings/wfdb_writer.h"
#include "synthetic_record.h"

namespace rrscope {
namespace {

struct ToolResult {
  int exitCode = -1;
  std::vector<nlohmann::json> lines;
  std::string err;
};

ToolResult runTool(const QStringList& arguments) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    environment.remove(name);
  }
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(RRSCOPE_BATCH_TOOL), arguments);
  process.waitForFinished(120'000);
  ToolResult result{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                    {},
                    process.readAllStandardError().toStdString()};
  const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
  for (const QByteArray& line : lines) {
    if (!line.isEmpty()) result.lines.push_back(nlohmann::json::parse(line.toStdString()));
  }
  return result;
}

std::size_t lineCount(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return static_cast<std::size_t>(
      std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n'));
}

class RecordingTool : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
  QString path(const QString& name) const { return folder_.filePath(name); }

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
    const QString file = path(name);
    const int handle =
        edfopen_file_writeonly(file.toUtf8().constData(), EDFLIB_FILETYPE_EDFPLUS, 1);
    edf_set_samplefrequency(handle, 0, 250);
    edf_set_physical_maximum(handle, 0, 163.835);
    edf_set_physical_minimum(handle, 0, -163.84);
    edf_set_digital_maximum(handle, 0, 32767);
    edf_set_digital_minimum(handle, 0, -32768);
    edf_set_label(handle, 0, label);
    edf_set_physical_dimension(handle, 0, "mV");
    std::vector<short> second(250);
    for (std::size_t at = 0; at + 250 <= lead_.adc.size(); at += 250) {
      std::copy_n(lead_.adc.begin() + static_cast<std::ptrdiff_t>(at), 250, second.begin());
      edfwrite_digital_short_samples(handle, second.data());
    }
    edfclose_file(handle);
    return file;
  }

  double meanDesignedIntervalMs() const {
    return static_cast<double>(lead_.beats.back() - lead_.beats.front()) * 1000.0 / lead_.rate /
           static_cast<double>(lead_.beats.size() - 1);
  }

  test::SyntheticLead lead_ = test::syntheticLead(250, 180);
  QTemporaryDir folder_;
};

TEST_F(RecordingTool, AWfdbRecordIsAnalysedAtItsOwnRateAndScoredAgainstItsAnnotations) {
  const ToolResult result = runTool(
      {"--hrv", "--correct", "--peaks", "--reference=atr", writeWfdb(QStringLiteral("rec"))});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ASSERT_EQ(result.lines.size(), 1u);
  const nlohmann::json& line = result.lines.front();
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

TEST_F(RecordingTool, AnEdfFileAndItsNamedChannelGiveTheSameBeats) {
  const QString edf = writeEdf(QStringLiteral("holter.edf"), "ECG II");
  const ToolResult result = runTool({"--signal", "ecg ii", edf});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const nlohmann::json& line = result.lines.front();
  EXPECT_EQ(line["format"], "edf");
  EXPECT_EQ(line["channel"], "ECG II");
  EXPECT_EQ(line["rate_hz"], 250);
  EXPECT_EQ(line["beats"], lead_.beats.size());
  EXPECT_FALSE(line.contains("hrv"));
}

TEST_F(RecordingTool, ABadRecordingStopsOnlyItsOwnLine) {
  const QString good = writeWfdb(QStringLiteral("good"));
  writeWfdb(QStringLiteral("cut"));
  std::filesystem::resize_file(path(QStringLiteral("cut.dat")).toStdString(), 1001);
  const QString resp = writeEdf(QStringLiteral("resp.edf"), "Resp");
  const ToolResult result = runTool({path(QStringLiteral("cut.hea")), resp, good});
  EXPECT_EQ(result.exitCode, 1);
  ASSERT_EQ(result.lines.size(), 3u);
  const std::string truncated = result.lines[0]["error"]["message"];
  EXPECT_NE(truncated.find("cut.dat"), std::string::npos) << truncated;
  EXPECT_NE(truncated.find("truncated"), std::string::npos) << truncated;
  const std::string noEcg = result.lines[1]["error"]["message"];
  EXPECT_NE(noEcg.find("no channel looks like ECG"), std::string::npos) << noEcg;
  EXPECT_TRUE(result.lines[2]["error"].is_null());
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
  // A second export would replace the first only when forced.
  EXPECT_EQ(runTool({"--to-text", path(QStringLiteral("text")), record}).exitCode, 2);
}

TEST_F(RecordingTool, TheReportIsAnA4PdfAndPng) {
  const ToolResult result =
      runTool({"--correct", "--report", path(QStringLiteral("report")), writeWfdb("rec")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::ifstream pdf(path(QStringLiteral("report/rec.pdf")).toStdString(), std::ios::binary);
  std::string head(5, '\0');
  pdf.read(head.data(), 5);
  EXPECT_EQ(head, "%PDF-");
  const QImage png(path(QStringLiteral("report/rec.png")));
  EXPECT_EQ(png.size(), QSize(1240, 1754));
}

TEST_F(RecordingTool, OptionsThatCannotApplyRunNothing) {
  const QString record = writeWfdb(QStringLiteral("rec"));
  EXPECT_EQ(runTool({"--beats", record}).exitCode, 2);
  std::ofstream(path(QStringLiteral("samples.txt")).toStdString()) << "0\n1\n";
  EXPECT_EQ(runTool({"--signal", "0", path(QStringLiteral("samples.txt"))}).exitCode, 2);
  EXPECT_EQ(runTool({"--csv", record}).exitCode, 2);
}

}  // namespace
}  // namespace rrscope
