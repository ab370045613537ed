// End-to-end tests of the beat options of rrscope-batch: the detector, the
// artefact correction, the beats in the line and the scoring.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "batch_tool_runner.h"

namespace rrscope {
namespace {

using nlohmann::json;
using test::runTool;

class BeatOptions : public test::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    // Thirty beats 0.77 to 0.83 s apart, as 1-based sample positions.
    double position = 3001;
    for (int i = 0; i < 30; ++i) {
      beats_.push_back(std::round(position));
      position += 6000 * (0.8 + 0.03 * std::sin(1.7 * i));
    }
  }

  // An ECG-like recording: narrow R waves and broad T waves a third as tall.
  QString writeEcg(const QString& name) const {
    const auto length = static_cast<std::size_t>(beats_.back()) + 6000;
    std::vector<double> samples(length, 0.0);
    for (const double beat : beats_) {
      for (std::size_t i = 0; i < length; ++i) {
        const double t = (static_cast<double>(i) + 1 - beat) / 6000;
        samples[i] += std::exp(-0.5 * std::pow(t / 0.010, 2)) +
                      0.35 * std::exp(-0.5 * std::pow((t - 0.25) / 0.04, 2));
      }
    }
    std::string text;
    for (const double v : samples) text += std::to_string(v).substr(0, 6) + "\n";
    return writeFile(name, text);
  }

  std::string beatList(const std::vector<double>& beats) const {
    std::string text;
    for (const double beat : beats) text += std::to_string(static_cast<long long>(beat)) + "\n";
    return text;
  }

  std::vector<double> beats_;
};

TEST_F(BeatOptions, PanTompkinsBeatsGiveTheFiguresAndScoreAgainstTheirReference) {
  const QString ecg = writeEcg("rec.txt");
  writeFile("rec.beats", beatList(beats_));
  const test::ToolResult result =
      runTool({"--detector=pan-tompkins", "--peaks", "--reference-suffix", ".beats", ecg});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ASSERT_EQ(result.json().size(), 1u);
  const json line = result.json()[0];
  EXPECT_EQ(line["error"], nullptr);
  EXPECT_EQ(line["detector"], "pan-tompkins");
  EXPECT_EQ(line["series"], "RR");
  EXPECT_FALSE(line.contains("corrections"));
  // Every interval between the detected beats is analysed, the last too.
  EXPECT_EQ(line["captions"]["Label8"], std::to_string(beats_.size() - 1));
  const auto peaks = line["peaks"].get<std::vector<double>>();
  ASSERT_EQ(peaks.size(), beats_.size());
  for (std::size_t i = 0; i < peaks.size(); ++i) EXPECT_NEAR(peaks[i], beats_[i], 1.0) << i;
  const json& scoring = line["scoring"];
  EXPECT_EQ(scoring["window_ms"], 150);
  EXPECT_EQ(scoring["tp"], beats_.size());
  EXPECT_EQ(scoring["fp"], 0);
  EXPECT_LT(scoring["max_abs_error_ms"].get<double>(), 0.2);
}

TEST_F(BeatOptions, CorrectionRemovesAnExtraPeakOfTheThresholdDetector) {
  // Single-sample peaks above the window's threshold, and one extra peak
  // 40 % into the tenth interval; the guard interval lets the detector see it.
  std::set<int> detected(beats_.begin(), beats_.end());
  detected.insert(static_cast<int>(std::round(beats_[9] + 0.4 * (beats_[10] - beats_[9]))));
  const QString file = writeSpikes("spikes.txt", static_cast<int>(beats_.back()) + 100, detected);
  const QString reference = writeFile("reference.txt", beatList(beats_));
  const test::ToolResult result = runTool({"--guard=0.2", "--correct", "--hrv", "--peaks",
                                           "--reference", reference, "--match-window", "50", file});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const json line = result.json().at(0);
  EXPECT_EQ(line["detector"], "threshold");
  EXPECT_EQ(line["series"], "NN");
  EXPECT_EQ(line["corrections"],
            json({{"extra", 1}, {"missed", 0}, {"ectopic", 0}, {"long_short", 0}}));
  EXPECT_EQ(line["peaks"].get<std::vector<double>>(), beats_);
  EXPECT_EQ(line["scoring"]["window_ms"], 50);
  EXPECT_EQ(line["scoring"]["tp"], beats_.size());
  EXPECT_EQ(line["scoring"]["fp"], 0);
  // The measures are of the corrected series.
  EXPECT_NEAR(line["hrv"]["mean_nn_ms"].get<double>(),
              (beats_.back() - beats_.front()) / (beats_.size() - 1) * 1000 / 6000, 1e-9);

  // Without beat options the line is the window's run alone.
  const test::ToolResult plain = runTool({file});
  EXPECT_FALSE(plain.json().at(0).contains("detector"));
  EXPECT_FALSE(plain.json().at(0).contains("series"));
}

// --correct names its level, or stands for the automatic one; "off" is no
// correction at all, and a level it does not know is refused.
TEST_F(BeatOptions, CorrectNamesItsLevel) {
  const QString file = writeSpikes("spikes.txt", static_cast<int>(beats_.back()) + 100,
                                   {beats_.begin(), beats_.end()});
  const struct {
    const char* option;
    int exitCode;
    const char* series;
  } cases[] = {{"--correct", 0, "NN"},
               {"--correct=auto", 0, "NN"},
               {"--correct=very-strong", 0, "NN"},
               {"--correct=off", 0, nullptr},
               {"--correct=gentle", 2, nullptr}};
  for (const auto& [option, exitCode, series] : cases) {
    const test::ToolResult result = runTool({"--guard=0.2", option, file});
    ASSERT_EQ(result.exitCode, exitCode) << option << result.err;
    if (exitCode != 0) {
      EXPECT_NE(result.err.find("gentle"), std::string::npos) << result.err;
    } else if (series != nullptr) {
      EXPECT_EQ(result.json().at(0)["series"], series) << option;
    } else {
      EXPECT_FALSE(result.json().at(0).contains("series")) << option;
    }
  }
}

TEST_F(BeatOptions, UnreadableReferencesStopTheFileInItsLine) {
  const QString ecg = writeEcg("rec.txt");
  const QString bad = writeFile("bad.beats", "3001\n8000\nnine\n");
  const test::ToolResult badLine = runTool({"--detector=pan-tompkins", "--reference=" + bad, ecg});
  EXPECT_EQ(badLine.exitCode, 1);
  const json error = badLine.json().at(0)["error"];
  EXPECT_EQ(error["kind"], "type-mismatch");
  EXPECT_EQ(error["stage"], "scoreBeats");
  EXPECT_NE(error["message"].get<std::string>().find("line 3"), std::string::npos);

  const test::ToolResult missing = runTool({"--reference-suffix=.none", ecg});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.json().at(0)["error"]["kind"], "cannot-open-file");
}

}  // namespace
}  // namespace rrscope
