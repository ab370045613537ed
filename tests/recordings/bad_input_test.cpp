#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "edf_file.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/wfdb_writer.h"
#include "tests/core/temp_folder.h"
#include "tests/recordings/fifo_wait.h"

namespace rrscope::recordings {
namespace {

// The message of the RecordingError that `read` throws; fails the test when
// it throws none.
std::string errorOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const RecordingError& error) {
    return error.what();
  }
  ADD_FAILURE() << "no RecordingError";
  return {};
}

void expectError(const std::function<void()>& read, const std::string& file,
                 const std::string& problem) {
  const std::string message = errorOf(read);
  EXPECT_NE(message.find(file), std::string::npos) << message;
  EXPECT_NE(message.find(problem), std::string::npos) << message;
}

class BadWfdb : public ::testing::Test {
 protected:
  BadWfdb() {
    writeWfdbRecord(folder_ / "r", {{360, 1}, 212, 200.0, 0, {"MLII", "V5"}, {adc_, adc_}});
  }
  void header(std::string_view text) const { folder_.write("r.hea", text); }
  std::function<void()> read(std::string signal = {}) const {
    return [this, signal] {
      ChannelRequest request;
      if (!signal.empty()) request.text = signal;
      readWfdbRecording(headerPath(), request);
    };
  }
  std::string headerPath() const { return (folder_ / "r.hea").string(); }
  std::string dataPath() const { return (folder_ / "r.dat").string(); }

  test::TempFolder folder_;
  std::vector<std::int16_t> adc_ = std::vector<std::int16_t>(10, 7);
};

TEST_F(BadWfdb, AHeaderThatClaimsMoreSamplesThanTheFileHolds) {
  header("r 2 360 11\nr.dat 212 200 12 0 0 0 0 MLII\nr.dat 212 200 12 0 0 0 0 V5\n");
  expectError(read(), dataPath(), "announces 11 samples per signal, the signal file holds 10");
}

TEST_F(BadWfdb, AHeaderThatListsFewerSignalsThanItAnnounces) {
  header("r 3 360 10\nr.dat 212 200 12 0 0 0 0 MLII\nr.dat 212 200 12 0 0 0 0 V5\n");
  expectError(read(), headerPath(), "announces 3 signals but lists 2");
}

TEST_F(BadWfdb, ASignalFileCutInsideAFrameGivesItsWholeFramesWithAWarning) {
  std::filesystem::resize_file(dataPath(), 14);  // 9 samples and a byte: 4 whole frames
  expectError(read(), dataPath(), "the signal file holds 4");
  // Without a sample count in the header, the whole frames are read, as
  // WFDB reads a short file, and the partial one named.
  header("r 2 360\nr.dat 212 200 12 0 0 0 0 MLII\nr.dat 212 200 12 0 0 0 0 V5\n");
  const Recording recording = readWfdbRecording(headerPath(), {});
  EXPECT_EQ(recording.sampleCount(), 4u);
  ASSERT_EQ(recording.warnings.size(), 1u);
  EXPECT_EQ(recording.warnings[0], dataPath() +
                                       ": the signal file ends inside a frame of 2 samples; the "
                                       "samples of that last frame are left out");
  std::filesystem::resize_file(dataPath(), 12);  // 8 whole samples, 4 frames
  EXPECT_TRUE(readWfdbRecording(headerPath(), {}).warnings.empty());
}

TEST_F(BadWfdb, AnUnknownFormatAZeroRateAndMissingChannels) {
  header("r 1 360 10\nr.dat 999 200 12 0 0 0 0 MLII\n");
  expectError(read(), dataPath(), "signal format 999 is not supported");
  header("r 1 0 10\nr.dat 212 200 12 0 0 0 0 MLII\n");
  expectError(read(), headerPath(), "sampling rate is 0");
  header("r 2 360 10\nr.dat 212 200 12 0 0 0 0 MLII\nr.dat 212 200 12 0 0 0 0 V5\n");
  expectError(read("V1"), headerPath(), "no channel labelled \"V1\" (channels: \"MLII\", \"V5\")");
  expectError(read("2"), headerPath(), "channel 2 does not exist");
  expectError(
      [this] {
        readWfdbReferenceBeats(headerPath(), {360, 1});
      },
      (folder_ / "r.atr").string(), "cannot open");
}

TEST(BadEdf, NoEcgLikeChannelUnlessOneIsNamed) {
  const test::TempFolder folder;
  const std::string path = (folder / "sleep.edf").string();
  writeEdf(
      path, EDFLIB_FILETYPE_EDFPLUS,
      {{"EEG Fpz-Cz", 100, std::vector<double>(100)}, {"Resp", 100, std::vector<double>(100)}});
  expectError([&] { readEdfRecording(path, {}); }, path, "no channel looks like ECG");
  expectError([&] { readEdfRecording(path, {"ECG"}); }, path, "no channel labelled \"ECG\"");
  EXPECT_EQ(readEdfRecording(path, {"resp"}).channel, "Resp");
}

TEST(BadEdf, AFileShorterOrLongerThanItsHeaderSaysNamesBothSizes) {
  const test::TempFolder folder;
  const std::string path = (folder / "cut.edf").string();
  writeEdf(path, EDFLIB_FILETYPE_EDFPLUS, {{"ECG", 200, std::vector<double>(600)}});
  const auto size = std::filesystem::file_size(path);
  std::filesystem::resize_file(path, size - 100);
  expectError([&] { readEdfRecording(path, {}); }, path,
              "the file holds " + std::to_string(size - 100) + " bytes, but its header promises 3");
  std::filesystem::resize_file(path, size + 400);
  expectError([&] { readEdfRecording(path, {}); }, path,
              "the file holds " + std::to_string(size + 400) + " bytes");
}

// An EDF+ file of an ECG signal and the annotation signal, whose header
// field at `offset` (width 8) is then overwritten with `text`.
std::string edfWithField(const test::TempFolder& folder, std::size_t offset, std::string text) {
  const std::string path = (folder / "patched.edf").string();
  writeEdf(path, EDFLIB_FILETYPE_EDFPLUS, {{"ECG", 100, std::vector<double>(200)}});
  text.resize(8, ' ');
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(static_cast<std::streamoff>(offset));
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  return path;
}

TEST(BadEdf, EachFaultOfASignalsHeaderIsNamedInsteadOfTheGeneralReason) {
  // With two signals, those of the ECG: physical minimum at 464, maximum
  // 480, digital minimum 496, maximum 512, samples per data record 688.
  const struct {
    std::size_t offset;
    std::string text;
    std::string problem;
  } faults[] = {
      {480, "-5", "signal 0 (\"ECG\"): the physical minimum and maximum are both -5"},
      {512, "-32768",
       "signal 0 (\"ECG\"): the digital minimum -32768 is not below the maximum -32768"},
      {512, "40000", "the digital range -32768 to 40000 does not fit 16-bit samples"},
      {688, "0", "signal 0 (\"ECG\"): 0 samples per data record"},
      {688, "99999999", "a data record of more than 10 MiB"},
      {464, "abc", "the physical minimum \"abc\" is not a number"},
  };
  const test::TempFolder folder;
  for (const auto& fault : faults) {
    const std::string path = edfWithField(folder, fault.offset, fault.text);
    expectError([&] { readEdfRecording(path, {}); }, path, fault.problem);
    expectError([&] { listEdfChannels(path); }, path, fault.problem);
  }
}

TEST(BadEdf, AHugeRecordOverSeveralSignalsIsRefusedWithoutOverflow) {
  const test::TempFolder folder;
  const std::string path = (folder / "huge.edf").string();
  writeEdf(path, EDFLIB_FILETYPE_EDFPLUS,
           {{"ECG", 100, std::vector<double>(100)}, {"II", 100, std::vector<double>(100)}});
  // Samples per data record of the two signals before the annotations.
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(256 + 3 * 216);
  file.write("99999999", 8);
  file.write("9223372036854775807", 8);  // cut to "92233720" by the width
  file.close();
  expectError([&] { readEdfRecording(path, {}); }, path, "a data record of more than 10 MiB");
}

// Neither EDFlib nor the BioSig reader may be handed a FIFO: opening one
// that nobody writes to waits for ever.
TEST(BadFiles, FifosOfEveryRecordingKindAreRefusedWithoutWaiting) {
  const test::TempFolder folder;
  for (const std::string name : {"f.edf", "f.bdf", "f.gdf", "f.ecg"}) {
    const std::string fifo = (folder / name).string();
    expectNoWaitOnFifo(fifo, [&] {
      const bool edf = recordingKindOf(fifo) == RecordingKind::edf;
      expectError([&] { edf ? listEdfChannels(fifo) : listHolterChannels(fifo); }, fifo,
                  "is not a regular file");
      expectError([&] { edf ? readEdfRecording(fifo, {}) : readHolterRecording(fifo, {}); }, fifo,
                  "is not a regular file");
    });
  }
}

}  // namespace
}  // namespace rrscope::recordings
