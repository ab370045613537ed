#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <future>
#include <limits>
#include <string>
#include <vector>

#include "recordings/recording_error.h"
#include "recordings/rr_file.h"
#include "recordings/wfdb_annotations.h"
#include "tests/core/temp_folder.h"
#include "tests/recordings/error_of.h"
#include "tests/recordings/fifo_wait.h"

namespace rrscope::recordings {
namespace {

using test::TempFolder;

// A sparse file of `bytes` zeros, made without writing them.
std::string sparseFile(const TempFolder& folder, const std::string& name, std::uintmax_t bytes) {
  const std::string path = folder.write(name, "");
  std::filesystem::resize_file(path, bytes);
  return path;
}

// A little-endian annotation word.
std::string word(int code, int field) {
  const int value = (code << 10) | field;
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

// A skip of `samples`, high half first, each half little-endian.
std::string skip(std::int32_t samples) {
  const auto bits = static_cast<std::uint32_t>(samples);
  const auto half = [](std::uint32_t h) {
    return std::string{static_cast<char>(h & 0xFF), static_cast<char>((h >> 8) & 0xFF)};
  };
  return word(59, 0) + half(bits >> 16) + half(bits & 0xFFFF);
}

TEST(HostileAnnotationFiles, AFifoADeviceAFolderAndAHugeFileAreRefusedByName) {
  const TempFolder folder;
  const std::string fifo = (folder / "pipe.atr").string();
  expectNoWaitOnFifo(fifo, [&] {
    EXPECT_EQ(errorOf([&] { readAnnotations(fifo); }), fifo + ": is not a regular file");
  });
  EXPECT_EQ(errorOf([] { readAnnotations("/dev/zero"); }), "/dev/zero: is not a regular file");
  EXPECT_EQ(errorOf([&] { readAnnotations(folder.path()); }), folder.path() + ": is a folder");
  const std::string huge = sparseFile(folder, "huge.atr", kMaxAnnotationFileBytes + 1);
  EXPECT_EQ(errorOf([&] { readAnnotations(huge); }),
            huge + ": is larger than 64 MiB, too large for an annotation file");
  const std::string largest = sparseFile(folder, "largest.atr", kMaxAnnotationFileBytes);
  EXPECT_TRUE(readAnnotations(largest).annotations.empty());
}

TEST(HostileAnnotationFiles, SkipsBackAreReadInTheOrderOfTimeAndOnlyTimesBeforeTheStartRefused) {
  const TempFolder folder;
  // Back from 100 to 51, then on to 52: read, and sorted for the scoring.
  const AnnotationFile back =
      readAnnotations(folder.write("back.atr", word(1, 100) + skip(-50) + word(5, 1) + word(1, 1)));
  ASSERT_EQ(back.annotations.size(), 3U);
  EXPECT_EQ(back.annotations[0].sample, 51);
  EXPECT_EQ(back.annotations[0].code, 5);
  EXPECT_EQ(back.annotations[1].sample, 52);
  EXPECT_EQ(back.annotations[2].sample, 100);
  // The beats alone come in the same order, with their labels (5 is V).
  const BeatAnnotations beats = readBeatAnnotations((folder / "back.atr").string());
  EXPECT_EQ(beats.ticks, (std::vector<std::int64_t>{51, 52, 100}));
  EXPECT_EQ(beats.labels, "VNN");
  // A step back that the next annotation makes good, as the database's
  // writer puts after a leading note.
  const AnnotationFile noted = readAnnotations(
      folder.write("noted.atr", word(22, 0) + skip(-1) + word(1, 1) + word(1, 300)));
  ASSERT_EQ(noted.annotations.size(), 3U);
  EXPECT_EQ(noted.annotations[1].sample, 0);
  EXPECT_EQ(noted.annotations[2].sample, 300);
  const std::string before = folder.write("before.atr", word(1, 100) + skip(-150) + word(1, 1));
  EXPECT_EQ(errorOf([&] { readAnnotations(before); }),
            before +
                ": an annotation lies before the start of the record (a negative skip at "
                "byte 2)");
  const std::string forward = folder.write("forward.atr", word(1, 100) + skip(5000) + word(1, 1));
  const AnnotationFile file = readAnnotations(forward);
  ASSERT_EQ(file.annotations.size(), 2U);
  EXPECT_EQ(file.annotations[1].sample, 5101);
}

TEST(HostileAnnotationFiles, APositionBeyond64BitsAtTheRateIsAnErrorNotAWrongBeat) {
  constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();
  const SamplingRate absurd{kLargest, 1'000'000'000};  // 9223372036.854775807 per second
  const AnnotationFile far{{{kLargest, 1, 0}}, SamplingRate{1000, 3}};
  EXPECT_THROW(beatSamples(far, SamplingRate{360, 1}, absurd), RecordingError);
  // The product fits in 128 bits, the position not in 64.
  const AnnotationFile late{{{kLargest / 2, 1, 0, {}}}, std::nullopt};
  EXPECT_THROW(beatSamples(late, SamplingRate{1, 1}, SamplingRate{4, 1}), RecordingError);
  const AnnotationFile near{{{360, 1, 0, {}}, {720, 5, 0, {}}}, std::nullopt};
  EXPECT_EQ(beatSamples(near, SamplingRate{360, 1}, SamplingRate{1000, 1}),
            (std::vector<std::int64_t>{1000, 2000}));
  EXPECT_EQ(errorOf([&] {
              beatSamples(late, SamplingRate{1, 1}, SamplingRate{4, 1});
            }),
            "annotation at time " + std::to_string(kLargest / 2) +
                ": lies beyond any sample position at the recording's sampling rate");
}

TEST(HostileRrFiles, AFifoADeviceAFolderAndAHugeFileAreRefusedByName) {
  const TempFolder folder;
  const std::string fifo = (folder / "pipe.rr").string();
  expectNoWaitOnFifo(fifo, [&] {
    const RrSeries series = readRrFile(fifo);
    ASSERT_TRUE(series.error);
    EXPECT_EQ(series.error->kind, "cannot-open-file");
    EXPECT_EQ(series.error->message, fifo + ": is not a regular file");
  });
  const RrSeries zero = readRrFile("/dev/zero");
  ASSERT_TRUE(zero.error);
  EXPECT_EQ(zero.error->message, "/dev/zero: is not a regular file");
  const RrSeries huge = readRrFile(sparseFile(folder, "huge.rr", kMaxRrFileBytes + 1));
  ASSERT_TRUE(huge.error);
  EXPECT_EQ(huge.error->kind, "cannot-open-file");
  EXPECT_EQ(huge.error->message, (folder / "huge.rr").string() +
                                     ": is larger than 64 MiB, too large for a file of intervals");
  const RrSeries plain = readRrFile(folder.write("plain.rr", "800\n810.5\r\n"));
  EXPECT_FALSE(plain.error);
  EXPECT_EQ(plain.intervalsMs, (std::vector<double>{800, 810.5}));
}

TEST(HostileRrFiles, AnIntervalOutside10MsTo1HourNamesItsLine) {
  for (const char* absurd : {"1e308", "1e10", "3600000.001", "9.99", "0.001"}) {
    const RrSeries series = parseRrText(std::string("800\n") + absurd + "\n800\n");
    ASSERT_TRUE(series.error) << absurd;
    EXPECT_EQ(series.error->kind, "bad-interval");
    EXPECT_EQ(series.error->message, std::string("line 2 (\"") + absurd +
                                         "\") is outside 10 ms to 3600000 ms, the intervals of "
                                         "a heart");
    EXPECT_TRUE(series.intervalsMs.empty());
  }
  EXPECT_FALSE(parseRrText("10\n3600000\n").error);
}

}  // namespace
}  // namespace rrscope::recordings
