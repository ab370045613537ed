#include "editing/opened_recording.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "beats/sample_source.h"
#include "editing/beat_snap.h"
#include "editing/series_export.h"
#include "recordings/recording_error.h"
#include "recordings/rr_file.h"
#include "recordings/wfdb_writer.h"
#include "tests/beats/synthetic_record.h"
#include "tests/core/temp_folder.h"

namespace rrscope::editing {
namespace {

class OpenedRecordingTest : public ::testing::Test {
 protected:
  test::TempFolder folder_;
};

// The window opens a record with the analysis of the batch tool: the beats
// of the corrected series, their sources, and the series of the whole list
// equal to the analysis's own NN series.
TEST_F(OpenedRecordingTest, ARecordOpensWithTheCorrectedBeatsAndTheirSeries) {
  const test::SyntheticLead lead = test::syntheticLead(250, 120);
  recordings::writeWfdbRecord(folder_ / "lead", {{250, 1}, 16, 200.0, 0, {"MLII"}, {lead.adc}});
  const OpenedRecording opened = openRecording((folder_ / "lead.hea").string());
  ASSERT_TRUE(opened.recording.has_value());
  EXPECT_EQ(opened.recording->channel, "MLII");
  ASSERT_EQ(opened.beats.size(), lead.beats.size());
  for (std::size_t i = 0; i < lead.beats.size(); ++i) {
    ASSERT_NEAR(opened.beats.positions()[i], static_cast<double>(lead.beats[i]), 3.0) << i;
    ASSERT_EQ(opened.beats.sources()[i], BeatSource::detected) << i;
  }
  // The beats keep the analysis's classes, so the list's series is its NN series.
  EXPECT_TRUE(std::ranges::equal(opened.beats.classes(), opened.analysis.nnClasses));
  const StretchSeries whole = opened.beats.series({0, 250.0 * 120});
  EXPECT_EQ(whole.intervalsMs, opened.analysis.nnMs);
}

// An RR file opens as it stands, counted in ms; its NN export reads back as
// the same intervals.
TEST_F(OpenedRecordingTest, AnRrFileOpensAsItsIntervalsAndExportsThemBack) {
  const OpenedRecording opened =
      openRecording(folder_.write("night.RR", "812\n790.5\n\n805\n1200\n"));
  EXPECT_FALSE(opened.recording.has_value());
  EXPECT_EQ(opened.beats.rate(), 1000);
  const StretchSeries series =
      opened.beats.series({0, static_cast<double>(opened.beats.sampleCount())});
  EXPECT_EQ(series.intervalsMs, (std::vector<double>{812, 790.5, 805, 1200}));
  EXPECT_EQ(recordings::parseRrText(rrText(series)).intervalsMs, series.intervalsMs);
  const std::string csv = rrCsv(series, opened.beats);
  EXPECT_TRUE(csv.starts_with("time_s,rr_ms,source\n0.812,812,detected\n1.6025,790.5,detected\n"))
      << csv;

  EXPECT_THROW(openRecording(folder_.write("bad.rr", "812\n80 ms\n")), recordings::RecordingError);
  EXPECT_TRUE(isRecordingFile("a/100.hea"));
  EXPECT_TRUE(isRecordingFile("night.BDF"));
  EXPECT_TRUE(isRecordingFile("x.rr"));
  EXPECT_FALSE(isRecordingFile("samples.txt"));
}

// A beat added by hand lands where the detector puts that QRS complex, from
// anywhere on the complex; where the detector sees nothing, on the complex's
// dominant deflection rather than where the click fell.
TEST_F(OpenedRecordingTest, AddedBeatsSnapToTheQrsComplex) {
  const test::SyntheticLead lead = test::syntheticLead(360, 30);
  std::vector<double> mv(lead.adc.begin(), lead.adc.end());
  for (double& value : mv) value /= 200;
  const beats::SpanSamples samples(mv);
  const double beat = static_cast<double>(lead.beats[10]);
  const double snapped = snapToQrs(samples, 360, beat + 25);
  EXPECT_NEAR(snapped, beat, 2.0);
  EXPECT_NEAR(snapToQrs(samples, 360, beat - 25), snapped, 1e-9);
  // 140 ms late: past the complex, on the way to its T wave.
  EXPECT_NEAR(snapToQrs(samples, 360, beat + 50), snapped, 1e-9);

  // One complex alone in a flat minute: too little for the detector to learn.
  std::vector<double> lonely(360 * 20, 0.0);
  const std::size_t at = 360 * 10;
  for (std::size_t i = 0; i < 36; ++i) {
    lonely[at - 18 + i] = 1.0 - std::abs(static_cast<double>(i) - 18) / 18;
  }
  const double alone = snapToQrs(beats::SpanSamples(lonely), 360, static_cast<double>(at) + 12);
  EXPECT_NEAR(alone, static_cast<double>(at), 4.0);
  EXPECT_EQ(snapToQrs(beats::SpanSamples(lonely), 360, -5.0), -5.0);
}

}  // namespace
}  // namespace rrscope::editing
