#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/wfdb_writer.h"
#include "tests/core/temp_folder.h"
#include "tests/recordings/error_of.h"
#include "tests/recordings/wfdb_record_test.h"

namespace rrscope::recordings {
namespace {

void writeSegment(const test::TempFolder& folder, const std::string& name, double gain,
                  std::vector<std::string> labels,
                  const std::vector<std::vector<std::int16_t>>& signals) {
  WfdbRecordToWrite record{{100, 1}, 16, gain, 0, std::move(labels), {}};
  for (const auto& signal : signals) record.channels.emplace_back(signal);
  writeWfdbRecord(folder / name, record);
}

TEST(WfdbSegments, AFixedLayoutReadsAsOneSignalWithItsGapsInvalid) {
  const test::TempFolder folder;
  writeSegment(folder, "m_1", 100.0, {"II"}, {{1, 2, 3, 4}});
  writeSegment(folder, "m_2", 100.0, {"II"}, {{10, 20, 30, 40, 50}});
  // The record takes 4 samples of m_2, fewer than it holds.
  folder.write("m.hea", "m/3 1 100 10\nm_1 4\n~ 2\nm_2 4\n");
  const Recording read = readWfdbRecording((folder / "m.hea").string(), {});
  EXPECT_EQ(read.values, (std::vector<std::int32_t>{1, 2, 3, 4, 6, 8, 10, 20, 30, 40}));
  EXPECT_EQ(runsOf(read.invalid), (Runs{{4, 6}}));
  EXPECT_EQ(read.rate.numerator, 100);
  EXPECT_EQ(read.channel, "II");
}

TEST(WfdbSegments, AVariableLayoutFindsSignalsByLabelInTheLayoutsUnits) {
  const test::TempFolder folder;
  folder.write("v_layout.hea",
               "v_layout 2 100 0\n~ 0 100/mV 16 0 0 0 0 II\n~ 0 100/mV 16 0 0 0 0 V5\n");
  writeSegment(folder, "v_1", 100.0, {"II", "V5"}, {{1, 2, 3}, {5, 6, 7}});
  // V5 alone, at twice the gain: 80 steps are 40 in the layout's gain.
  writeSegment(folder, "v_2", 200.0, {"V5"}, {{80, 120}});
  folder.write("v.hea", "v/4 2 100 7\nv_layout 0\nv_1 3\n~ 2\nv_2 2\n");
  const std::string header = (folder / "v.hea").string();

  const auto channels = listWfdbChannels(header);
  ASSERT_EQ(channels.size(), 2u);
  EXPECT_EQ(channels[1].label, "V5");

  const Recording v5 = readWfdbRecording(header, {"V5"});
  EXPECT_EQ(v5.values, (std::vector<std::int32_t>{5, 6, 7, 18, 29, 40, 60}));
  EXPECT_EQ(runsOf(v5.invalid), (Runs{{3, 5}}));
  EXPECT_DOUBLE_EQ(v5.physical(6), 0.6);
  // II is missing from v_2: the gap and v_2 join into one run held level.
  const Recording ii = readWfdbRecording(header, {"II"});
  EXPECT_EQ(ii.values, (std::vector<std::int32_t>{1, 2, 3, 3, 3, 3, 3}));
  EXPECT_EQ(runsOf(ii.invalid), (Runs{{3, 7}}));
}

TEST(WfdbSegments, HostileMasterHeadersAreRefused) {
  const test::TempFolder folder;
  writeSegment(folder, "s", 100.0, {"II"}, {{1, 2}});
  const std::string master = (folder / "m.hea").string();
  folder.write("m.hea", "m/2 1 100\n../s 2\ns 2\n");
  expectErrorReading(master, master, "the segment \"../s\" is not in the record's folder");
  folder.write("m.hea", "m/30000000 1 100\ns 2\n");
  expectErrorReading(master, master, "the header announces 30000000 segments but lists 1");
  // A gap of two billion samples would take 8 GB with no file behind it.
  folder.write("m.hea", "m/2 1 100\ns 2\n~ 2000000000\n");
  expectErrorReading(master, master, "the gaps between the segments add up to more than 134217728");
  folder.write("m.hea", "m/1 1 100\nm 2\n");
  expectErrorReading(master, master, "a segment is itself a multi-segment record");
  folder.write("m.hea", "m/1 1 250\ns 2\n");
  expectErrorReading(master, (folder / "s.hea").string(),
                     "the segment's sampling rate differs from the record's");
  folder.write("m.hea", "m/1 1 100\ns 3\n");
  expectErrorReading(master, (folder / "s.hea").string(),
                     "the segment holds 2 samples, the record announces 3");
  folder.write("m.hea", "m/2 1 100\n~ 2\n~ 3\n");
  expectErrorReading(master, master, "every segment of the record is \"~\"");
  // Lengths whose product with the samples per frame, or whose sum,
  // overflows would wrap into a short record read out of bounds.
  writeSegment(folder, "two", 100.0, {"II"}, {{1, 2, 3, 4}});
  folder.write("two.hea", "two 1 100 2\ntwo.dat 16x2 100 16 0 0 0 0 II\n");
  folder.write("m.hea", "m/1 1 100\ntwo 9223372036854761308\n");
  expectErrorReading(master, master,
                     "announces 9223372036854761308 frames, more than a record can hold");
  folder.write("m.hea", "m/3 1 100\ns 2\n~ 9223372036854775000\n~ 9223372036854775000\n");
  expectErrorReading(master, master, "the segments announce more samples than a record can hold");
  // One small segment named thousands of times would make gigabytes of it.
  std::string many = "m/20000 1 100\n";
  for (int i = 0; i < 20000; ++i) many += "s 2\n";
  folder.write("m.hea", many);
  expectErrorReading(master, master, "the segment \"s\" is named more than once");
}

// A layout whose gain puts the segment's values beyond 32 bits cannot hold
// them: wrapping would make other amplitudes and other beats.
TEST(WfdbSegments, ALayoutGainBeyondThirtyTwoBitsIsRefusedNotWrapped) {
  const test::TempFolder folder;
  folder.write("v_layout.hea", "v_layout 1 100 0\n~ 0 1e10/mV 16 0 0 0 0 II\n");
  writeSegment(folder, "v_1", 200.0, {"II"}, {{100, -100, 300}});
  folder.write("v.hea", "v/2 1 100 3\nv_layout 0\nv_1 3\n");
  const std::string header = (folder / "v.hea").string();
  expectErrorReading(header, (folder / "v_1.hea").string(),
                     "cannot hold the segment's values in 32 bits");
  folder.write("v_layout.hea", "v_layout 1 100 0\n~ 0 1000/mV 16 0 0 0 0 II\n");
  EXPECT_EQ(readWfdbRecording(header, {}).values, (std::vector<std::int32_t>{500, -500, 1500}));
}

}  // namespace
}  // namespace rrscope::recordings
