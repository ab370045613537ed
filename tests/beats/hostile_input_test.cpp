#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "beats/artefact_correction.h"
#include "beats/beat_file.h"
#include "beats/beat_scoring.h"
#include "beats/r_peak_detector.h"
#include "tests/core/temp_folder.h"
#include "tests/recordings/error_of.h"
#include "tests/recordings/fifo_wait.h"

namespace rrscope::beats {
namespace {

using test::TempFolder;

std::string beatFileError(const std::string& path) {
  try {
    readBeatFile(path);
  } catch (const BeatFileError& error) {
    EXPECT_EQ(error.line(), 0U);
    return error.what();
  }
  return "no error";
}

// The message of the std::invalid_argument that `call` throws.
std::string invalidArgument(const std::function<void()>& call) {
  return recordings::errorOf<std::invalid_argument>(call);
}

TEST(HostileBeatFiles, AFifoADeviceAFolderAndAHugeFileAreRefused) {
  const TempFolder folder;
  const std::string fifo = (folder / "pipe.beats").string();
  recordings::expectNoWaitOnFifo(
      fifo, [&] { EXPECT_EQ(beatFileError(fifo), "it is not a regular file"); });
  EXPECT_EQ(beatFileError("/dev/zero"), "it is not a regular file");
  EXPECT_EQ(beatFileError(folder.path()), "it is a folder");
  const std::string huge = folder.write("huge.beats", "");
  std::filesystem::resize_file(huge, kMaxBeatFileBytes + 1);
  EXPECT_EQ(beatFileError(huge), "it is larger than 64 MiB, too large for a beat file");
  EXPECT_EQ(readBeatFile(folder.write("two.beats", "3\n1.5\n")), (std::vector<double>{0.5, 2}));
}

TEST(HostileBeatInput, CorrectionRefusesPositionsThatAreNotFiniteOrGoBack) {
  constexpr const char* kMessage = "the beat positions must be finite numbers in increasing order";
  const double nan = std::nan("");
  const double inf = std::numeric_limits<double>::infinity();
  for (const std::vector<double>& bad :
       {std::vector<double>{0, 1000, nan, 3000, 4000}, std::vector<double>(20, nan),
        std::vector<double>{0, 1000, 2000, inf}, std::vector<double>{0, 1000, 900, 3000}}) {
    EXPECT_EQ(invalidArgument([&] { correctArtefacts(bad); }), kMessage);
    EXPECT_EQ(invalidArgument([&] {
                correctArtefacts(bad, [](double, double) { return std::optional<double>(); });
              }),
              kMessage);
  }
  EXPECT_EQ(correctArtefacts(std::vector<double>{0, 1000, 2000}).beats.size(), 3U);
}

// Below 60 per second a QRS complex is too few samples to find.
TEST(HostileBeatInput, DetectionRefusesRatesOutsideSixtyToOneHundredThousand) {
  const std::vector<double> samples(100, 0.0);
  EXPECT_EQ(invalidArgument([&] { detectRPeaks(samples, 1e300); }),
            "the sampling rate " + std::to_string(1e300) +
                " per second is outside 60 to 100000, the rates QRS detection works at");
  for (const double rate : {1e12, std::numeric_limits<double>::infinity(), std::nan(""), 20.0, 59.9,
                            kMaximumRate * 1.0001}) {
    EXPECT_THROW(detectRPeaks(samples, rate), std::invalid_argument) << rate;
  }
  EXPECT_THROW(detectBeats(SpanSamples(samples), kMaximumRate * 1.0001), std::invalid_argument);
  EXPECT_TRUE(detectRPeaks(samples, kMaximumRate).empty());
}

TEST(HostileBeatInput, ScoringRefusesAMatchWindowAboveOneSecond) {
  const std::vector<double> beats{100, 200, 300};
  constexpr const char* kMessage = "the match window must be above 0 and at most 1000 ms";
  EXPECT_EQ(invalidArgument([&] { scoreBeats(beats, beats, 360, 1e9); }), kMessage);
  EXPECT_EQ(invalidArgument([&] { matchBeats(beats, beats, 360, 0); }), kMessage);
  EXPECT_EQ(invalidArgument([&] { matchBeats(beats, beats, 360, std::nan("")); }), kMessage);
  EXPECT_EQ(invalidArgument([&] { scoreBeats(beats, beats, 0, 150); }),
            "the sampling rate must be a positive number");
  EXPECT_EQ(scoreBeats(beats, beats, 360, kMaxMatchWindowMs).truePositives, 3);
}

}  // namespace
}  // namespace rrscope::beats
