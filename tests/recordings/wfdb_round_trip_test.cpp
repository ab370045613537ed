#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/wfdb_header.h"
#include "recordings/wfdb_writer.h"
#include "tests/core/temp_folder.h"

namespace rrscope::recordings {
namespace {

TEST(WfdbRecord, EightBitAndBigEndianFormatsDecode) {
  const test::TempFolder folder;
  folder.write("a.hea", "a 1 128\r\na.dat 80 10 8 0 0 0 0 ECG\r\n");
  folder.write("a.dat", std::string("\x01\x80\xff\x8a", 4));
  const Recording eightBit = readWfdbRecording((folder / "a.hea").string(), {});
  EXPECT_EQ(physicalSamples(eightBit), (std::vector<double>{-12.7, 0.0, 12.7, 1.0}));

  folder.write("b.hea", "b 1 250 2\nb.dat 61 1000(-5)/uV 16 0 0 0 0 II\n");
  folder.write("b.dat", std::string("\x01\x00\xfe\x0c", 4));
  const Recording bigEndian = readWfdbRecording((folder / "b.hea").string(), {});
  // 1000 steps per microvolt: 0.261 and -0.495 uV, given in millivolts.
  EXPECT_EQ(bigEndian.units, "mV");
  const std::vector<double> values = physicalSamples(bigEndian);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_NEAR(values[0], 0.000261, 1e-15);
  EXPECT_NEAR(values[1], -0.000495, 1e-15);
}

TEST(WfdbHeader, CommentsCrlfSkewOffsetAndDefaultsAreUnderstood) {
  const WfdbHeader header = parseWfdbHeader(
      "# made by hand\r\n\r\nrec 2 128.5/1000 77\r\n"
      "  # a comment between signal lines\r\n"
      "rec.dat 16+512 0 12 7\r\n"
      "rec.dat 16:2 400(-3)/uV 12 7 1 2 0 Lead V5 chest\r\n",
      "rec.hea");
  EXPECT_EQ(header.rate.numerator, 257);
  EXPECT_EQ(header.rate.denominator, 2);
  EXPECT_EQ(header.sampleCount, 77);
  ASSERT_EQ(header.signals.size(), 2u);
  EXPECT_EQ(header.signals[0].byteOffset, 512);
  EXPECT_EQ(header.signals[0].gain, 200.0);  // a gain of 0 means the default
  EXPECT_EQ(header.signals[0].baseline, 7);  // the ADC zero without a baseline
  EXPECT_EQ(header.signals[1].baseline, -3);
  EXPECT_EQ(header.signals[1].units, "uV");
  EXPECT_EQ(header.signals[1].label, "Lead V5 chest");
}

// The same lead stored in microvolts, millivolts and volts reads back in
// millivolts alike: a gain per microvolt is 1000 times smaller.
TEST(WfdbRecord, ALeadInMicrovoltsOrVoltsReadsBackInMillivolts) {
  const test::TempFolder folder;
  std::vector<std::int16_t> adc;  // both signs, stepping through the 12-bit range
  for (int i = 0; i < 50; ++i) adc.push_back(static_cast<std::int16_t>((3 + 97 * i) % 4095 - 2047));
  writeWfdbRecord(folder / "mv", {{360, 1}, 16, 100.0, 0, {"MLII"}, {adc}});
  const Recording millivolts = readWfdbRecording((folder / "mv.hea").string(), {});
  for (const auto& [units, gain] : {std::pair{"uV", "0.1"}, std::pair{"V", "100000"}}) {
    const std::string name = std::string("in-") + units;
    std::filesystem::copy_file(folder / "mv.dat", folder / (name + ".dat"));
    folder.write(name + ".hea", name + " 1 360 50\n" + name + ".dat 16 " + gain + "/" + units +
                                    " 16 0 0 0 0 MLII\n");
    const Recording other = readWfdbRecording((folder / (name + ".hea")).string(), {});
    EXPECT_EQ(other.units, "mV") << units;
    ASSERT_EQ(other.sampleCount(), millivolts.sampleCount());
    for (std::size_t i = 0; i < adc.size(); ++i) {
      ASSERT_NEAR(other.physical(i), millivolts.physical(i), 1e-12) << units << " sample " << i;
    }
  }
  EXPECT_EQ(millivolts.units, "mV");
}

TEST(WfdbAnnotations, BeatsSurviveLongGapsAndNonBeatsAreDropped) {
  const test::TempFolder folder;
  writeWfdbRecord(folder / "r", {{360, 1}, 16, 200.0, 0, {"MLII"}, {std::vector<std::int16_t>(4)}});
  // N, a rhythm change (+, code 28), V after a gap longer than 10 bits, '/'
  // and '?', the last far beyond 16 bits.
  const std::vector<Annotation> annotations{
      {77, 1}, {370, 28}, {5000, 5}, {5001, 12}, {200000, 30}};
  writeAnnotations(folder / "r.atr", annotations);
  const std::string header = (folder / "r.hea").string();
  EXPECT_EQ(readWfdbReferenceBeats(header, {360, 1}),
            (std::vector<std::int64_t>{77, 5000, 5001, 200000}));
  // At 6000 per second: round(77 * 6000 / 360) = round(1283.33).
  EXPECT_EQ(readWfdbReferenceBeats(header, {6000, 1}),
            (std::vector<std::int64_t>{1283, 83333, 83350, 3333333}));
}

TEST(WfdbAnnotations, SubtypesAndLongStepsReadBackAsWritten) {
  const test::TempFolder folder;
  // Noise from -1 (all signals unreadable) to 0, the extremes of a signed
  // byte, and steps beyond one 32-bit skip and beyond two.
  constexpr std::int64_t far = (std::int64_t{1} << 31) + 10;
  const std::vector<Annotation> written{{10, 1, 0},  {20, 1, 3},          {30, 14, -1},
                                        {40, 14, 0}, {50, 5, 127},        {60, 5, -128},
                                        {far, 1, 2}, {3 * far + 1, 1, 0}, {3 * far + 2000, 14, -1}};
  writeAnnotations(folder / "a.atr", written);
  const AnnotationFile file = readAnnotations((folder / "a.atr").string());
  ASSERT_EQ(file.annotations.size(), written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    EXPECT_EQ(file.annotations[i].sample, written[i].sample) << i;
    EXPECT_EQ(file.annotations[i].code, written[i].code) << i;
    EXPECT_EQ(file.annotations[i].subtype, written[i].subtype) << i;
  }
  EXPECT_FALSE(file.timeResolution.has_value());

  EXPECT_THROW(writeAnnotations(folder / "b.atr", std::vector<Annotation>{{1, 1, 128}}),
               std::runtime_error);
  EXPECT_THROW(writeAnnotations(folder / "b.atr", std::vector<Annotation>{{1, 0, 0}}),
               std::runtime_error);
  EXPECT_THROW(writeAnnotations(folder / "b.atr", std::vector<Annotation>{{1, 61, 0}}),
               std::runtime_error);
}

TEST(WfdbAnnotations, ATimeResolutionNoteGivesTheUnitOfTheTimes) {
  const test::TempFolder folder;
  // Thousandths of a sample at 360 per second; 360500 is 360.5 samples.
  const std::vector<Annotation> written{{0, 1, 0}, {1000, 1, 0}, {360'500, 5, 0}};
  writeAnnotations(folder / "r.atr", written, 360'000);
  const AnnotationFile file = readAnnotations((folder / "r.atr").string());
  ASSERT_TRUE(file.timeResolution.has_value());
  EXPECT_EQ(file.timeResolution->numerator, 360'000);
  EXPECT_EQ(file.timeResolution->denominator, 1);
  EXPECT_EQ(beatSamples(file, {360, 1}, {360, 1}), (std::vector<std::int64_t>{0, 1, 361}));
}

TEST(WfdbAnnotations, EveryBeatLabelAndNoOtherIsABeat) {
  std::string labels;
  for (int code = 0; code < 64; ++code) {
    if (isBeatCode(code)) labels += beatLabel(code);
  }
  std::ranges::sort(labels);
  std::string expected = "NLRBAaJSVrFejnE/fQ?";
  std::ranges::sort(expected);
  EXPECT_EQ(labels, expected);
  for (const char label : expected) EXPECT_EQ(beatLabel(beatCode(label)), label);
}

}  // namespace
}  // namespace rrscope::recordings
