#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "edf_file.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "tests/core/temp_folder.h"

namespace rrscope::recordings {
namespace {

// Converts `source` with BioSig's own converter; false when it is missing
// or fails, so that the test can say why it skips.
bool convertToGdf(const std::filesystem::path& source, const std::filesystem::path& target) {
  const std::string command =
      "save2gdf -f=GDF '" + source.string() + "' '" + target.string() + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0 && std::filesystem::exists(target);
}

#define CONVERT_OR_SKIP(source, target) \
  if (!convertToGdf(source, target)) GTEST_SKIP() << "save2gdf (biosig-tools) cannot convert"

TEST(GdfFile, EachChannelOfAConvertedEdfReadsBackAtItsOwnRate) {
  const test::TempFolder folder;
  const auto ecg = waveOf(4 * 256, 1.5);
  const auto resp = waveOf(4 * 32, 4.0);
  writeEdf(folder / "night.edf", EDFLIB_FILETYPE_EDFPLUS,
           {{"Resp chest", 32, resp}, {"ECG II", 256, ecg, "uV", 5000.0}});
  CONVERT_OR_SKIP(folder / "night.edf", folder / "night.gdf");
  const std::string gdf = (folder / "night.gdf").string();

  const Recording recording = readHolterRecording(gdf, {});
  EXPECT_EQ(recording.channel, "ECG II");
  EXPECT_EQ(recording.units, "mV");
  EXPECT_EQ(recording.rate.numerator, 256);
  EXPECT_EQ(recording.rate.denominator, 1);
  ASSERT_EQ(recording.sampleCount(), ecg.size());
  const double step = 10.0 / 65535.0;  // one step of the 16-bit converter, in mV
  for (std::size_t i = 0; i < ecg.size(); ++i) {
    ASSERT_NEAR(recording.physical(i), ecg[i] / 1000.0, step) << "sample " << i;
  }
  // The slower channel is every eighth of BioSig's samples, as EDFlib reads
  // it but for one step that save2gdf's conversion may change.
  const Recording slow = readHolterRecording(gdf, {"Resp chest"});
  const Recording source = readEdfRecording((folder / "night.edf").string(), {"0"});
  EXPECT_EQ(slow.rate.numerator, 32);
  ASSERT_EQ(slow.sampleCount(), resp.size());
  for (std::size_t i = 0; i < resp.size(); ++i) {
    ASSERT_NEAR(slow.physical(i), source.physical(i), step * 1.01) << "sample " << i;
  }
  EXPECT_EQ(leadNumbers(gdf, {}), (std::vector<std::size_t>{1}));
}

TEST(GdfFile, AFileWithoutAnEcgLabelIsRefusedAsForEdf) {
  const test::TempFolder folder;
  writeEdf(folder / "resp.edf", EDFLIB_FILETYPE_EDFPLUS, {{"Resp", 32, waveOf(64, 1.0)}});
  CONVERT_OR_SKIP(folder / "resp.edf", folder / "resp.gdf");
  EXPECT_THROW(readHolterRecording((folder / "resp.gdf").string(), {}), RecordingError);
  EXPECT_EQ(readHolterRecording((folder / "resp.gdf").string(), {"0"}).sampleCount(), 64u);
}

}  // namespace
}  // namespace rrscope::recordings
