#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "tests/recordings/wfdb_record_test.h"

namespace rrscope::recordings {
namespace {

using HostileWfdb = WfdbRecordTest;

// Format 212 packs two samples into three bytes, so that a file cut short
// can end inside a pair.
class BadWfdb212 : public WfdbRecordTest {
 protected:
  BadWfdb212() : WfdbRecordTest(212) {}
};

TEST_F(HostileWfdb, AHeaderThatDisagreesWithItsFileOrItselfIsRefused) {
  const std::string two = "r.dat 16 200 16 0 0 0 0 MLII\nr.dat 16 200 16 0 0 0 0 V5\n";
  expectError("r 2 360 11\n" + two, dataPath(),
              "announces 11 samples per signal, the signal file holds 10");
  expectError("r 3 360 10\n" + two, headerPath(), "announces 3 signals but lists 2");
  expectError("r 1 360 10\nr.dat 999 200 12 0 0 0 0 MLII\n", dataPath(),
              "signal format 999 is not supported");
  expectError("r 1 0 10\nr.dat 16 200 12 0 0 0 0 MLII\n", headerPath(), "sampling rate is 0");
  expectError("r 2 360 10\n" + two, headerPath(),
              "no channel labelled \"V1\" (channels: \"MLII\", \"V5\")", {"V1"});
  expectError("r 2 360 10\n" + two, headerPath(), "channel 2 does not exist", {"2"});
  const std::string noBeats = errorOf([this] { readWfdbReferenceBeats(headerPath(), {360, 1}); });
  EXPECT_EQ(noBeats.rfind((folder_ / "r.atr").string(), 0), 0u) << noBeats;
}

TEST_F(BadWfdb212, ASignalFileCutInsideAFrameGivesItsWholeFramesWithAWarning) {
  std::filesystem::resize_file(dataPath(), 14);  // 9 samples and a byte: 4 whole frames
  expectErrorReading(headerPath(), dataPath(), "the signal file holds 4");
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

TEST_F(HostileWfdb, SignalFilesOutsideTheRecordsFolderAreRefused) {
  folder_.write("secret.dat", std::string(40, '\0'));
  std::filesystem::create_directory(folder_ / "inner");
  std::filesystem::rename(folder_ / "r.hea", folder_ / "inner" / "r.hea");
  const std::string inner = (folder_ / "inner" / "r.hea").string();
  folder_.write("inner/r.hea", "r 1 360\n../secret.dat 16 200 16 0 0 0 0 II\n");
  expectErrorReading(inner, inner,
                     "the signal file \"../secret.dat\" is not in the record's folder");
  const std::string absolute = (folder_ / "secret.dat").string();
  folder_.write("inner/r.hea", "r 1 360\n" + absolute + " 16 200 16 0 0 0 0 II\n");
  expectErrorReading(inner, inner,
                     "the signal file \"" + absolute + "\" is not in the record's folder");
}

TEST_F(HostileWfdb, FifosAndFoldersAreRefusedBeforeAnyRead) {
  const std::string fifo = (folder_ / "pipe.hea").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Opening a FIFO without a writer would block for ever.
  expectErrorReading(fifo, fifo, "the header is not a regular file");
  ASSERT_EQ(::mkfifo((folder_ / "pipe.dat").c_str(), 0600), 0);
  expectError("r 1 360\npipe.dat 16 200 16 0 0 0 0 II\n", (folder_ / "pipe.dat").string(),
              "the signal file is not a regular file");
  std::filesystem::create_directory(folder_ / "dir.dat");
  expectError("r 1 360\ndir.dat 16 200 16 0 0 0 0 II\n", (folder_ / "dir.dat").string(),
              "the signal file is a folder");
  expectErrorReading(folder_.path(), folder_.path(), "the header is a folder");
}

TEST_F(HostileWfdb, EndlessAndHugeHeadersEndQuickly) {
  const auto start = std::chrono::steady_clock::now();
  expectErrorReading("/dev/zero", "/dev/zero", "the header is not a regular file");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  expectError(std::string(1024 * 1024 + 1, '#'), headerPath(), "the header is larger than 1 MB");
  // A header of exactly the limit is still read.
  std::string comments(1024 * 1024 - 40, '#');
  comments += "\nr 1 360 10\nr.dat 16\n";
  comments.resize(1024 * 1024, ' ');
  header(comments);
  EXPECT_EQ(readWfdbRecording(headerPath(), {}).sampleCount(), 10u);
}

// Headers refused before anything is allocated or read: absurd signal
// counts, rates outside those of ECG converters, gains that are no number
// or overflow, and layout headers that name no file.
TEST_F(HostileWfdb, AbsurdCountsRatesGainsAndLayoutsAreRefused) {
  const struct {
    std::string header;
    const char* problem;
  } cases[] = {
      {"r 30000000 360\nr.dat 16 200 16 0 0 0 0 II\n",
       "the header announces 30000000 signals but lists 1"},
      {"r 2147483647 360\nr.dat 16\n", "the header announces 2147483647 signals but lists 1"},
      {"r 9223372036854775807 360\n", "signals but lists 0"},
      {"r 2 0.5 10\nr.dat 16\nr.dat 16\n", "the sampling rate 0.5 Hz is outside 1 to 100000 Hz"},
      {"r 2 100000.001 10\nr.dat 16\nr.dat 16\n",
       "the sampling rate 100000.001 Hz is outside 1 to 100000 Hz"},
      {"r 2 1e9 10\nr.dat 16\nr.dat 16\n", "bad sampling rate \"1e9\""},
      {"r 2 60000 10\nr.dat 16x2\nr.dat 16\n",
       "the sampling rate of signal 0 (2 samples per frame) is outside 1 to 100000 Hz"},
      {"r 2 360\nr.dat 16 nan\nr.dat 16\n", "the gain \"nan\" is not a number"},
      {"r 2 360\nr.dat 16 inf(0)/mV\nr.dat 16\n", "the gain \"inf(0)/mV\" is not a number"},
      {"r 2 360\nr.dat 16 -0/mV\nr.dat 16\n", "the gain \"-0/mV\" is a negative zero"},
      {"r 2 360\nr.dat 16\nr.dat 16 1e-300\n",
       "the gain and baseline \"1e-300\" of signal 1 make physical values beyond "
       "1000000000000000"},
      // Finite, yet beyond what the exports write exactly: thousandths of
      // 9.2e15 and more wrap in 64 bits.
      {"r 2 360\nr.dat 16 1e-15\nr.dat 16\n",
       "the gain and baseline \"1e-15\" of signal 0 make physical values beyond"},
      {"r 2 360\nr.dat 16 200(9000000000000000000)/mV\nr.dat 16\n",
       "of signal 0 make physical values beyond"},
      {"r 2 360 0\n~ 0 200 16 0 0 0 0 II\n~ 0 200 16 0 0 0 0 V5\n",
       "signal 0 is not stored (file \"~\" or format 0"},
  };
  for (const auto& c : cases) expectError(c.header, headerPath(), c.problem);
  // The bounds themselves, and a small gain, are read.
  header("r 2 100000 5\nr.dat 16\nr.dat 16\n");
  EXPECT_EQ(readWfdbRecording(headerPath(), {}).rate.numerator, 100000);
  header("r 2 1 5\nr.dat 16\nr.dat 16\n");
  EXPECT_EQ(readWfdbRecording(headerPath(), {}).rate.numerator, 1);
  header("r 2 360\nr.dat 16 1e-3\nr.dat 16\n");
  EXPECT_DOUBLE_EQ(readWfdbRecording(headerPath(), {}).physical(0), 7000.0);
}

}  // namespace
}  // namespace rrscope::recordings
