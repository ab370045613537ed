#include "recordings/csv_export.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace rrscope::recordings {
namespace {

Recording signal(std::string label, SamplingRate rate, std::vector<std::int32_t> values,
                 std::vector<SampleRun> invalid = {}) {
  Recording recording;
  recording.channel = std::move(label);
  recording.units = "mV";
  recording.rate = rate;
  recording.values = std::move(values);
  recording.gain = 200.0;
  recording.baseline = 0.0;
  recording.invalid = std::move(invalid);
  return recording;
}

// A signal of two samples per frame beside one of one: the fast signal's
// rate is the grid, and the slow one fills every other row.
TEST(CsvExport, SignalsOfDifferentRatesShareTheFastestGrid) {
  const std::vector<Recording> signals = {
      signal("ECG", {500, 1}, {2, 4, 6, 8, 10}, {{3, 4}}),
      signal("Resp", {250, 1}, {100, 200, 300}, {{1, 2}}),
  };
  EXPECT_EQ(csvExport(signals),
            "sample,time_s,ECG (mV),Resp (mV)\n"
            "0,0,0.01,0.5\n"
            "1,0.002,0.02,\n"
            "2,0.004,0.03,\n"  // Resp's sample 1 is invalid
            "3,0.006,,\n"      // so is ECG's sample 3
            "4,0.008,0.05,1.5\n");
}

// Rates that are no multiple of each other meet on their common grid, and
// rows where neither has a sample are left out.
TEST(CsvExport, RatesWithoutAMultipleMeetOnTheirCommonGrid) {
  const std::vector<Recording> signals = {
      signal("a", {3, 1}, {200, 400, 600}),
      signal("b", {2, 1}, {1000, 2000}),
  };
  EXPECT_EQ(csvExport(signals),
            "sample,time_s,a (mV),b (mV)\n"
            "0,0,1,5\n"
            "2,0.3333333333333333,2,\n"
            "3,0.5,,10\n"
            "4,0.6666666666666666,3,\n");
}

TEST(CsvExport, RatesWithoutACommonGridBelowTenMegahertzAreRefused) {
  const std::vector<Recording> signals = {
      signal("a", {999'983, 1}, {1}),
      signal("b", {999'979, 1}, {1}),
  };
  EXPECT_THROW(csvExport(signals), std::invalid_argument);
  EXPECT_THROW(csvExport(std::span<const Recording>()), std::invalid_argument);
}

}  // namespace
}  // namespace rrscope::recordings
