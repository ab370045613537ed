#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>

#include "edf_file.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "tests/core/temp_folder.h"
#include "tests/recordings/error_of.h"

namespace rrscope::recordings {
namespace {

std::string bytesOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Offsets of the header as the format lays it out.
constexpr std::size_t kPatient = 8;
std::size_t physicalDimensionOf(const std::filesystem::path& path, std::size_t signal) {
  const std::size_t signals = std::stoul(bytesOf(path).substr(252, 4));
  return 256 + signals * (16 + 80) + 8 * signal;
}

// Resp at 25 per second and ECG at 250 in microvolts, once as EDFlib wrote
// it and once with the units patched to µV.
struct PatchedPair {
  test::TempFolder folder;
  std::filesystem::path clean = folder / "clean.edf";
  std::filesystem::path patched = folder / "patched.edf";

  explicit PatchedPair(int fileType) {
    writeEdf(clean, fileType,
             {{"Resp", 25, waveOf(3 * 25, 3.0, 0.07)},
              {"ECG I", 250, waveOf(3 * 250, 900.0, 0.07), "uV", 4000}});
    std::filesystem::copy_file(clean, patched);
    patchField(patched, physicalDimensionOf(patched, 1), 8, "\xC2\xB5V");
  }
};

TEST(LenientEdf, MicrovoltsWrittenAsMicroSignReadAsTheCleanFileWithAWarning) {
  for (const int fileType : {EDFLIB_FILETYPE_EDFPLUS, EDFLIB_FILETYPE_BDFPLUS}) {
    const PatchedPair pair(fileType);
    const Recording clean = readEdfRecording(pair.clean.string(), {});
    const Recording lenient = readEdfRecording(pair.patched.string(), {});
    EXPECT_TRUE(clean.warnings.empty());
    // The clean file's microvolts are read as millivolts, to a step of the
    // 16-bit converter.
    EXPECT_EQ(clean.units, "mV");
    const std::vector<double> written = waveOf(3 * 250, 900.0, 0.07);
    for (std::size_t i = 0; i < written.size(); ++i) {
      ASSERT_NEAR(clean.physical(i), written[i] / 1000, 8.0 / 65535) << "sample " << i;
    }
    EXPECT_EQ(lenient.warnings,
              std::vector<std::string>{"the physical dimension of signal 1 is not plain ASCII"});
    EXPECT_EQ(lenient.channel, "ECG I");
    EXPECT_EQ(lenient.units, "mV");
    EXPECT_EQ(lenient.rate.numerator, 250);
    EXPECT_EQ(lenient.rate.denominator, 1);
    ASSERT_EQ(lenient.sampleCount(), clean.sampleCount());
    for (std::size_t i = 0; i < clean.sampleCount(); ++i) {
      ASSERT_NEAR(lenient.physical(i), clean.physical(i), 1e-9) << "sample " << i;
    }
  }
}

TEST(LenientEdf, ChannelsListAndLeadsCountAsInTheCleanFile) {
  const PatchedPair pair(EDFLIB_FILETYPE_EDFPLUS);
  const std::vector<ChannelListing> channels = listEdfChannels(pair.patched.string());
  ASSERT_EQ(channels.size(), 2u);
  EXPECT_EQ(channels[0].label, "Resp");
  EXPECT_EQ(channels[0].rate.numerator, 25);
  EXPECT_EQ(channels[1].rate.numerator, 250);
  EXPECT_EQ(leadNumbers(pair.patched.string(), {}), leadNumbers(pair.clean.string(), {}));
  EXPECT_EQ(readEdfRecording(pair.patched.string(), {"Resp"}).sampleCount(), 75u);
}

TEST(LenientEdf, ACyrillicPatientIsNamedInTheWarnings) {
  const PatchedPair pair(EDFLIB_FILETYPE_EDFPLUS);
  patchField(pair.patched, kPatient, 80, "X X X \xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD\xD0\xBE\xD0\xB2");
  const Recording lenient = readEdfRecording(pair.patched.string(), {});
  EXPECT_EQ(lenient.warnings,
            (std::vector<std::string>{"the patient field is not plain ASCII",
                                      "the physical dimension of signal 1 is not plain ASCII"}));
  EXPECT_EQ(lenient.sampleCount(), 750u);
}

TEST(LenientEdf, AFileBothReadersRefuseGetsEdflibsReasonFirst) {
  const PatchedPair pair(EDFLIB_FILETYPE_EDFPLUS);
  patchField(pair.patched, 0, 8, "X");  // a version neither reader knows, with a µ
  EXPECT_EQ(errorOf([&] { readEdfRecording(pair.patched.string(), {}); }),
            pair.patched.string() +
                ": the header does not match the file (a wrong length or number of data records, "
                "a truncated file or a damaged header); the physical dimension of signal 1 is not "
                "plain ASCII, and BioSig cannot read the file either (the format is unknown)");
  // Without a character that is not plain ASCII, what is wrong with the
  // header alone.
  patchField(pair.clean, 236, 8, "99");  // more data records than the file holds
  EXPECT_EQ(errorOf([&] { readEdfRecording(pair.clean.string(), {}); }),
            pair.clean.string() + ": the file holds " +
                std::to_string(std::filesystem::file_size(pair.clean)) +
                " bytes, but its header promises 99 data records of 664 bytes after 1024 bytes "
                "of header");
}

// The lenient reader forgives text fields, not a header the file does not
// hold: BioSig would read for minutes towards 99,999,999 data records, or
// join the records of a discontinuous file as if no time passed between.
TEST(LenientEdf, AHeaderTheFileDoesNotHoldOrAGappedFileIsRefusedBeforeBiosigReadsIt) {
  const PatchedPair pair(EDFLIB_FILETYPE_EDFPLUS);
  const auto started = std::chrono::steady_clock::now();
  patchField(pair.patched, 236, 8, "99999999");
  const std::string huge = errorOf([&] { readEdfRecording(pair.patched.string(), {}); });
  EXPECT_NE(huge.find("its header promises 99999999 data records"), std::string::npos) << huge;
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  patchField(pair.patched, 236, 8, "3");
  patchField(pair.patched, 192, 44, "EDF+D");
  for (const std::string& path : {pair.patched.string(), pair.clean.string()}) {
    if (path == pair.clean.string()) patchField(pair.clean, 192, 44, "EDF+D");
    EXPECT_EQ(errorOf([&] { readEdfRecording(path, {}); }),
              path + ": discontinuous EDF+D/BDF+D files are not supported");
  }
}

}  // namespace
}  // namespace rrscope::recordings
