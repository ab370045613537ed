// End-to-end tests of the variability measures, the numeric figures and
// files of RR intervals in rrscope-batch.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "batch_tool_runner.h"
#include "hrv/hrv_measures.h"

namespace rrscope {
namespace {

using nlohmann::json;
using test::runTool;

using HrvBatch = test::ToolTest;

TEST_F(HrvBatch, RrFilesGiveTheMeasuresOfTheirIntervalsOnly) {
  const QString good = writeFile("good.rr", "800\n\n  900.5 \r\n850\r\n\t\n1e3\n");
  const QString empty = writeFile("empty.rr", "");
  const test::ToolResult out = runTool({"--input=rr", good, empty});
  ASSERT_EQ(out.exitCode, 0);
  ASSERT_EQ(out.outLines().size(), 2u);

  const auto line = nlohmann::ordered_json::parse(out.outLines()[0]);
  std::vector<std::string> keys;
  for (const auto& item : line.items()) keys.push_back(item.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"file", "hrv", "hrv_undefined", "intervals", "error"}));
  EXPECT_EQ(line["intervals"], 4);
  EXPECT_TRUE(line["error"].is_null());
  // 800, 900.5, 850 and 1000 ms: every measure has its key, a number or
  // null with the reason beside it.
  EXPECT_EQ(line["hrv"].size(), hrv::kMeasureCount);
  EXPECT_EQ(line["hrv"]["mean_nn_ms"], 887.625);
  EXPECT_EQ(line["hrv_undefined"]["sdann_ms"],
            hrv::undefinedText(hrv::Undefined::fewerThanTwoSegments));
  for (const auto& [key, reason] : line["hrv_undefined"].items()) {
    EXPECT_TRUE(line["hrv"][key].is_null()) << key;
  }

  // An empty file holds no intervals: every measure null with its reason, no error.
  const json none = json::parse(out.outLines()[1]);
  EXPECT_EQ(none["intervals"], 0);
  EXPECT_TRUE(none["error"].is_null());
  EXPECT_EQ(none["hrv_undefined"].size(), hrv::kMeasureCount);
  EXPECT_EQ(none["hrv_undefined"]["sdnn_ms"], "no intervals");
}

// 697 s of intervals, 800 and 900 ms by turns.
std::string alternatingIntervals() {
  std::string text;
  for (int i = 0; i < 820; ++i) text += i % 2 == 0 ? "800\n" : "900\n";
  return text;
}

TEST_F(HrvBatch, WindowsCarryEveryMeasureOfEachWholeWindow) {
  const QString rr = writeFile("day.rr", alternatingIntervals());
  const test::ToolResult out = runTool({"--input=rr", "--windows", "300:30", rr});
  ASSERT_EQ(out.exitCode, 0) << out.err;
  const json line = json::parse(out.outLines().at(0));
  // 697 s of series: windows end at 300, 330, ..., 690 s.
  ASSERT_EQ(line["windows"].size(), 14u);
  const json& first = line["windows"][0];
  EXPECT_EQ(first["start_s"], 0);
  EXPECT_EQ(first["end_s"], 300);
  // 176 pairs of 1.7 s, and the 800 ms after them ends at 300 s exactly.
  EXPECT_EQ(first["intervals"], 353);
  EXPECT_EQ(first["hrv"].size(), hrv::kMeasureCount);
  EXPECT_EQ(first["hrv"]["mean_nn_ms"], 300000.0 / 353);
  EXPECT_FALSE(line.contains("detrend"));

  const test::ToolResult csv =
      runTool({"--input=rr", "--csv", "--windows=120:60", "--detrend=smoothness-priors", rr});
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  const std::vector<std::string> rows = csv.outLines();
  ASSERT_EQ(rows.size(), 1u + 10);  // windows ending at 120, 180, ..., 660 s
  EXPECT_TRUE(rows[0].starts_with("file,start_s,end_s,intervals,mean_nn_ms,"));
  EXPECT_TRUE(rows[0].ends_with(",hrv_undefined,detrend,lambda"));
  EXPECT_TRUE(rows[2].starts_with(rr.toStdString() + ",60,180,")) << rows[2];
  EXPECT_TRUE(rows[2].ends_with(",smoothness-priors,500")) << rows[2];

  const json detrended =
      json::parse(runTool({"--input=rr", "--detrend", "smoothness-priors", "--lambda", "300", rr})
                      .outLines()
                      .at(0));
  EXPECT_EQ(detrended["detrend"], "smoothness-priors");
  EXPECT_EQ(detrended["lambda"], 300);
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
    const test::ToolResult out = runTool({"--input=rr", writeFile("bad.rr", c.content)});
    EXPECT_EQ(out.exitCode, 1) << c.content;
    ASSERT_EQ(out.outLines().size(), 1u);
    const json line = json::parse(out.outLines()[0]);
    EXPECT_EQ(line["error"]["kind"], "bad-interval") << c.content;
    EXPECT_EQ(line["error"]["message"].get<std::string>().rfind(c.line, 0), 0u)
        << line["error"]["message"];
    EXPECT_TRUE(line["hrv"].is_null());
  }
  const test::ToolResult missing = runTool({"--input=rr", "--csv", path("none.rr")});
  EXPECT_EQ(missing.exitCode, 1);
  const std::vector<std::string> rows = missing.outLines();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(test::csvRecord(rows[0], rows[1]).at("error_kind"), "cannot-open-file");
}

TEST_F(HrvBatch, SampleFilesGainNumericFiguresAndTheMeasuresOfTheirSeries) {
  // Peaks every 5000 samples then every 6000: intervals of 5000 and 6000 samples.
  const QString file =
      writeSpikes("beats.txt", 36000, {1000, 6000, 11000, 17000, 23000, 29000, 35000});

  const test::ToolResult out = runTool({"--hrv", "--rr", file});
  ASSERT_EQ(out.exitCode, 0);
  const json line = json::parse(out.outLines().at(0));
  EXPECT_EQ(line["samples"], 36000);
  EXPECT_EQ(line["recording_s"], 6);
  // K peaks make K - 2 intervals: 5000, 5000, 6000, 6000, 6000 samples.
  EXPECT_EQ(line["intervals"], 5);
  EXPECT_DOUBLE_EQ(line["observation_s"].get<double>(), 28000.0 / 6000);
  EXPECT_EQ(line["window_mean_hr_bpm"], 64);  // floor(60 * 5 / 4.667)
  EXPECT_EQ(line["rr"].size(), 5u);
  // Two intervals of 833.3 ms and three of 1000 ms.
  EXPECT_NEAR(line["hrv"]["mean_nn_ms"].get<double>(), 2800.0 / 3, 1e-9);

  // A run that stops before its figures leaves their numbers null.
  const test::ToolResult stopped = runTool({"--hrv", path("missing.txt")});
  const json failed = json::parse(stopped.outLines().at(0));
  EXPECT_TRUE(failed["samples"].is_null());
  EXPECT_TRUE(failed["observation_s"].is_null());
  EXPECT_EQ(failed["hrv_undefined"]["mean_nn_ms"], "no intervals");
}

}  // namespace
}  // namespace rrscope
