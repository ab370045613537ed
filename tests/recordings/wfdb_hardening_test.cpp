#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/wfdb_writer.h"
#include "tests/core/temp_folder.h"

namespace rrscope::recordings {
namespace {

// A sound two-signal record, and headers written over it case by case.
class HostileWfdb : public ::testing::Test {
 protected:
  HostileWfdb() {
    writeWfdbRecord(folder_ / "r", {{360, 1}, 16, 200.0, 0, {"MLII", "V5"}, {adc_, adc_}});
  }
  void header(std::string_view text) const { folder_.write("r.hea", text); }
  std::string headerPath() const { return (folder_ / "r.hea").string(); }

  // The one-line message of the RecordingError reading `path` throws.
  static std::string errorOf(const std::string& path) {
    try {
      readWfdbRecording(path, {});
    } catch (const RecordingError& error) {
      const std::string message = error.what();
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
      return message;
    }
    ADD_FAILURE() << "no error reading " << path;
    return {};
  }
  void expectError(std::string_view text, std::string_view file, std::string_view problem) const {
    header(text);
    expectErrorReading(headerPath(), file, problem);
  }
  static void expectErrorReading(const std::string& path, std::string_view file,
                                 std::string_view problem) {
    const std::string message = errorOf(path);
    EXPECT_EQ(message.rfind(file, 0), 0u) << message;
    EXPECT_NE(message.find(problem), std::string::npos) << message;
  }

  test::TempFolder folder_;
  std::vector<std::int16_t> adc_ = std::vector<std::int16_t>(10, 7);
};

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

TEST_F(HostileWfdb, AbsurdSignalCountsAreRefusedBeforeAllocating) {
  expectError("r 30000000 360\nr.dat 16 200 16 0 0 0 0 II\n", headerPath(),
              "the header announces 30000000 signals but lists 1");
  expectError("r 2147483647 360\nr.dat 16\n", headerPath(),
              "the header announces 2147483647 signals but lists 1");
  expectError("r 9223372036854775807 360\n", headerPath(), "signals but lists 0");
}

TEST_F(HostileWfdb, RatesOutsideTheRangeOfEcgConvertersAreRefused) {
  expectError("r 2 0.5 10\nr.dat 16\nr.dat 16\n", headerPath(),
              "the sampling rate 0.5 Hz is outside 1 to 100000 Hz");
  expectError("r 2 100000.001 10\nr.dat 16\nr.dat 16\n", headerPath(),
              "the sampling rate 100000.001 Hz is outside 1 to 100000 Hz");
  expectError("r 2 1e9 10\nr.dat 16\nr.dat 16\n", headerPath(), "bad sampling rate \"1e9\"");
  expectError("r 2 60000 10\nr.dat 16x2\nr.dat 16\n", headerPath(),
              "the sampling rate of signal 0 (2 samples per frame) is outside 1 to 100000 Hz");
  header("r 2 100000 5\nr.dat 16\nr.dat 16\n");
  EXPECT_EQ(readWfdbRecording(headerPath(), {}).rate.numerator, 100000);
  header("r 2 1 5\nr.dat 16\nr.dat 16\n");
  EXPECT_EQ(readWfdbRecording(headerPath(), {}).rate.numerator, 1);
}

TEST_F(HostileWfdb, GainsThatAreNoNumberOrOverflowAreRefused) {
  expectError("r 2 360\nr.dat 16 nan\nr.dat 16\n", headerPath(),
              "the gain \"nan\" is not a number");
  expectError("r 2 360\nr.dat 16 inf(0)/mV\nr.dat 16\n", headerPath(),
              "the gain \"inf(0)/mV\" is not a number");
  expectError("r 2 360\nr.dat 16 -0/mV\nr.dat 16\n", headerPath(),
              "the gain \"-0/mV\" is a negative zero");
  expectError("r 2 360\nr.dat 16\nr.dat 16 1e-300\n", headerPath(),
              "the gain and baseline \"1e-300\" of signal 1 make physical values beyond "
              "1000000000000000");
  // Finite, yet beyond what the exports write exactly: thousandths of
  // 9.2e15 and more wrap in 64 bits.
  expectError("r 2 360\nr.dat 16 1e-15\nr.dat 16\n", headerPath(),
              "the gain and baseline \"1e-15\" of signal 0 make physical values beyond");
  expectError("r 2 360\nr.dat 16 200(9000000000000000000)/mV\nr.dat 16\n", headerPath(),
              "of signal 0 make physical values beyond");
  header("r 2 360\nr.dat 16 1e-3\nr.dat 16\n");
  EXPECT_DOUBLE_EQ(readWfdbRecording(headerPath(), {}).physical(0), 7000.0);
}

TEST_F(HostileWfdb, ALayoutHeaderNamesNoFile) {
  expectError("r 2 360 0\n~ 0 200 16 0 0 0 0 II\n~ 0 200 16 0 0 0 0 V5\n", headerPath(),
              "signal 0 is not stored (file \"~\" or format 0");
}

}  // namespace
}  // namespace rrscope::recordings
