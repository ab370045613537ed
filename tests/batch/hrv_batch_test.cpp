// End-to-end tests of the variability measures, the numeric figures and
// files of RR intervals in rrscope-batch.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "hrv/hrv_measures.h"

namespace rrscope {
namespace {

using nlohmann::json;

struct Output {
  int exitCode = -1;
  std::vector<std::string> lines;
};

Output runTool(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(RRSCOPE_BATCH_TOOL), arguments);
  process.waitForFinished(120'000);
  Output output{process.exitCode(), {}};
  for (const QByteArray& line : process.readAllStandardOutput().split('\n'))
    if (!line.isEmpty()) output.lines.push_back(line.toStdString());
  return output;
}

std::size_t csvFieldCount(const std::string& row) {
  std::size_t fields = 1;
  bool quoted = false;
  for (const char c : row) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) ++fields;
  }
  return fields;
}

class HrvBatch : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.isValid()); }
  QString writeFile(const QString& name, const std::string& content) const {
    const QString path = folder_.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << content;
    return path;
  }
  QTemporaryDir folder_;
};

TEST_F(HrvBatch, RrFilesGiveTheMeasuresOfTheirIntervalsOnly) {
  const QString good = writeFile("good.rr", "800\n\n  900.5 \r\n850\r\n\t\n1e3\n");
  const QString empty = writeFile("empty.rr", "");
  const Output out = runTool({"--input=rr", good, empty});
  ASSERT_EQ(out.exitCode, 0);
  ASSERT_EQ(out.lines.size(), 2u);

  const auto line = nlohmann::ordered_json::parse(out.lines[0]);
  std::vector<std::string> keys;
  for (const auto& item : line.items()) keys.push_back(item.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"file", "hrv", "hrv_undefined", "intervals", "error"}));
  EXPECT_EQ(line["intervals"], 4);
  EXPECT_TRUE(line["error"].is_null());
  const std::vector<double> intervals{800, 900.5, 850, 1000};
  const hrv::Measures expected = hrv::computeMeasures(intervals);
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const std::string key(hrv::measureKey(measure));
    if (expected[measure].defined()) {
      EXPECT_EQ(line["hrv"][key].get<double>(), expected[measure].value()) << key;
      EXPECT_FALSE(line["hrv_undefined"].contains(key)) << key;
    } else {
      EXPECT_TRUE(line["hrv"][key].is_null()) << key;
      EXPECT_EQ(line["hrv_undefined"][key], hrv::undefinedText(expected[measure].reason()));
    }
  }

  // An empty file holds no intervals: every measure null with its reason, no error.
  const json none = json::parse(out.lines[1]);
  EXPECT_EQ(none["intervals"], 0);
  EXPECT_TRUE(none["error"].is_null());
  EXPECT_EQ(none["hrv_undefined"].size(), hrv::kMeasureCount);
  EXPECT_EQ(none["hrv_undefined"]["sdnn_ms"], "no intervals");
}

TEST_F(HrvBatch, ALineThatIsNoPositiveNumberStopsTheFileAndIsNamed) {
  struct Case {
    std::string content;
    std::string line;
  };
  const std::vector<Case> cases{{"800\n1,5\n", "line 2 "}, {"800\n\n0\n", "line 3 "},
                                {"-700\n", "line 1 "},     {"800\r900 ms\r", "line 2 "},
                                {"800\ninf\n", "line 2 "}, {"800\n8e2x\n", "line 2 "}};
  for (const Case& c : cases) {
    const Output out = runTool({"--input=rr", writeFile("bad.rr", c.content)});
    EXPECT_EQ(out.exitCode, 1) << c.content;
    ASSERT_EQ(out.lines.size(), 1u);
    const json line = json::parse(out.lines[0]);
    EXPECT_EQ(line["error"]["kind"], "bad-interval") << c.content;
    EXPECT_EQ(line["error"]["message"].get<std::string>().rfind(c.line, 0), 0u)
        << line["error"]["message"];
    EXPECT_TRUE(line["hrv"].is_null());
  }
  const Output missing = runTool({"--input=rr", "--csv", folder_.filePath("none.rr")});
  EXPECT_EQ(missing.exitCode, 1);
  ASSERT_EQ(missing.lines.size(), 2u);
  EXPECT_EQ(csvFieldCount(missing.lines[1]), csvFieldCount(missing.lines[0]));
  EXPECT_NE(missing.lines[1].find("cannot-open-file"), std::string::npos);
}

TEST_F(HrvBatch, SampleFilesGainNumericFiguresAndTheMeasuresOfTheirSeries) {
  // Peaks every 5000 samples then every 6000: intervals of 5000 and 6000 samples.
  std::string samples;
  const std::vector<int> peaks{1000, 6000, 11000, 17000, 23000, 29000, 35000};
  for (int position = 1; position <= 36000; ++position)
    samples += std::find(peaks.begin(), peaks.end(), position) != peaks.end() ? "1\n" : "0\n";
  const QString file = writeFile("beats.txt", samples);

  const Output out = runTool({"--hrv", "--rr", file});
  ASSERT_EQ(out.exitCode, 0);
  const json line = json::parse(out.lines.at(0));
  EXPECT_EQ(line["captions"]["TR"], " 6 c");
  EXPECT_EQ(line["samples"], 36000);
  EXPECT_EQ(line["recording_s"], 6);
  // K peaks make K - 2 intervals: 5000, 5000, 6000, 6000, 6000 samples.
  EXPECT_EQ(line["intervals"], 5);
  EXPECT_DOUBLE_EQ(line["observation_s"].get<double>(), 28000.0 / 6000);
  EXPECT_EQ(line["window_mean_hr_bpm"], 64);  // floor(60 * 5 / 4.667)
  std::vector<double> intervalsMs;
  for (const double rr : line["rr"]) intervalsMs.push_back(rr * 1000 / 6000);
  ASSERT_EQ(intervalsMs.size(), 5u);
  EXPECT_EQ(line["hrv"]["mean_nn_ms"].get<double>(),
            hrv::computeMeasures(intervalsMs)[hrv::Measure::meanNn].value());
  EXPECT_EQ(line["hrv"]["nn50"], 1);

  const Output csv = runTool({"--hrv", "--csv", file});
  ASSERT_EQ(csv.lines.size(), 2u);
  EXPECT_EQ(csvFieldCount(csv.lines[1]), csvFieldCount(csv.lines[0]));
  EXPECT_NE(csv.lines[0].find(",samples,recording_s,observation_s,window_mean_hr_bpm,intervals,"
                              "mean_nn_ms,"),
            std::string::npos);

  // A run that stops before its figures leaves their numbers null.
  const Output stopped = runTool({"--hrv", folder_.filePath("missing.txt")});
  const json failed = json::parse(stopped.lines.at(0));
  EXPECT_TRUE(failed["samples"].is_null());
  EXPECT_TRUE(failed["observation_s"].is_null());
  EXPECT_EQ(failed["hrv_undefined"]["mean_nn_ms"], "no intervals");
}

TEST_F(HrvBatch, RrInputRefusesChartsAndUnknownKinds) {
  const QString rr = writeFile("a.rr", "800\n");
  EXPECT_EQ(runTool({"--input=rr", "--svg", folder_.path(), rr}).exitCode, 2);
  EXPECT_EQ(runTool({"--input=rr", "--rr", rr}).exitCode, 2);
  EXPECT_EQ(runTool({"--input=ecg", rr}).exitCode, 2);
}

}  // namespace
}  // namespace rrscope
