#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "edf_file.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "tests/core/temp_folder.h"
#include "tests/recordings/error_of.h"
#include "tests/recordings/fifo_wait.h"

namespace rrscope::recordings {
namespace {

void expectError(const std::function<void()>& read, const std::string& file,
                 const std::string& problem) {
  const std::string message = errorOf(read);
  EXPECT_NE(message.find(file), std::string::npos) << message;
  EXPECT_NE(message.find(problem), std::string::npos) << message;
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
  patchField(path, offset, 8, std::move(text));
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
  patchField(path, 256 + 3 * 216, 8, "99999999");
  patchField(path, 256 + 3 * 216 + 8, 8, "9223372036854775807");  // cut to "92233720"
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
