#include <gtest/gtest.h>

#include <cmath>

#include "edf_file.h"
#include "recordings/read_recording.h"
#include "tests/core/temp_folder.h"

namespace rrscope::recordings {
namespace {

TEST(EdfRecord, TheEcgChannelOfAnEdfPlusFileReadsBackAtItsOwnRate) {
  const test::TempFolder folder;
  const auto ecg = waveOf(3 * 256, 1.5);
  writeEdf(folder / "night.edf", EDFLIB_FILETYPE_EDFPLUS,
           {{"Resp chest", 25, waveOf(3 * 25, 4.0)}, {"ECG II", 256, ecg}});
  const Recording recording = readEdfRecording((folder / "night.edf").string(), {});
  EXPECT_EQ(recording.channel, "ECG II");
  EXPECT_EQ(recording.rate.numerator, 256);
  EXPECT_EQ(recording.rate.denominator, 1);
  EXPECT_DOUBLE_EQ(recording.durationSeconds(), 3.0);
  ASSERT_EQ(recording.sampleCount(), ecg.size());
  const double step = 10.0 / 65535.0;  // one step of the 16-bit converter
  for (std::size_t i = 0; i < ecg.size(); ++i) {
    ASSERT_NEAR(recording.physical(i), ecg[i], step) << "sample " << i;
  }
  const Recording resp = readEdfRecording((folder / "night.edf").string(), {"0"});
  EXPECT_EQ(resp.rate.numerator, 25);
  // Both channels through one open file are the channels read one by one.
  const std::vector<std::size_t> both{1, 0};
  const std::vector<Recording> together = readEdfRecordings((folder / "night.edf").string(), both);
  ASSERT_EQ(together.size(), 2u);
  EXPECT_EQ(together[0].values, recording.values);
  EXPECT_EQ(together[1].values, resp.values);
  EXPECT_EQ(together[1].rate.numerator, 25);
}

TEST(RecordingKind, TheExtensionChoosesTheReader) {
  const std::pair<const char*, RecordingKind> cases[] = {
      {"a/b.edf", RecordingKind::edf},        {"B.BDF", RecordingKind::edf},
      {"mitdb/100.hea", RecordingKind::wfdb}, {"ecg.txt", RecordingKind::text},
      {"edf", RecordingKind::text},           {"day.ecg", RecordingKind::ishne},
      {"DAY.ECG", RecordingKind::ishne},      {"night.gdf", RecordingKind::gdf}};
  for (const auto& [path, kind] : cases) EXPECT_EQ(recordingKindOf(path), kind) << path;
  EXPECT_EQ(withoutEcgLabelFor(RecordingKind::ishne), WithoutEcgLabel::takeFirst);
  EXPECT_EQ(withoutEcgLabelFor(RecordingKind::gdf), WithoutEcgLabel::refuse);
}

}  // namespace
}  // namespace rrscope::recordings
