#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/wfdb_flac.h"
#include "recordings/wfdb_header.h"
#include "recordings/wfdb_writer.h"
#include "tests/core/temp_folder.h"
#include "tests/recordings/error_of.h"

namespace rrscope::recordings {
namespace {

std::string bytesOf(const std::vector<unsigned char>& bytes) {
  return {bytes.begin(), bytes.end()};
}

struct FormatCase {
  int format;
  int bits;
};

// Both extremes of the format (the most negative value marks invalid
// samples, so the one above it), 0, -1 and a spread of values whose bits
// touch every byte; format 8 stores steps of 8 bits, so it walks.
std::vector<std::int32_t> valuesFor(const FormatCase& c, std::size_t count, int seed) {
  std::vector<std::int32_t> values;
  const std::int64_t top = (std::int64_t{1} << (c.bits - 1)) - 1;
  std::uint32_t state = 2463534242u + static_cast<std::uint32_t>(seed);
  for (std::size_t i = 0; i < count; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    std::int64_t value = static_cast<std::int64_t>(state % (2 * top + 1)) - top;
    if (i % 7 == 0) value = top;
    if (i % 7 == 1) value = -top;
    if (i % 7 == 2) value = 0;
    if (i % 7 == 3) value = -1;
    if (c.format == 8) value = std::abs(static_cast<int>(i % 200) - 100) * (seed - 1) + 7 * seed;
    values.push_back(static_cast<std::int32_t>(value));
  }
  return values;
}

class WfdbFormat : public ::testing::TestWithParam<FormatCase> {};

TEST_P(WfdbFormat, EverySignalOfAnInterleavedFileReadsBackItsValues) {
  const FormatCase c = GetParam();
  const test::TempFolder folder;
  // 3 signals and 1001 frames: the packings of several samples (212, 310,
  // 311) cross frames and end in a part-filled group.
  constexpr std::size_t kFrames = 1001;
  const std::vector<std::vector<std::int32_t>> signals{
      valuesFor(c, kFrames, 0), valuesFor(c, kFrames, 1), valuesFor(c, kFrames, 2)};
  std::vector<std::int32_t> stream;
  for (std::size_t f = 0; f < kFrames; ++f) {
    for (const auto& signal : signals) stream.push_back(signal[f]);
  }
  const std::string format = std::to_string(c.format);
  folder.write("f.dat", bytesOf(encodeWfdbSamples(c.format, stream, 3)));
  std::string header = "f 3 250 1001\n";
  for (const char* label : {"RESP", "II", "V5"}) {
    header += "f.dat " + format + " 100(24) 12 0 0 0 0 " + label + "\n";
  }
  folder.write("f.hea", header);
  for (std::size_t i = 0; i < signals.size(); ++i) {
    const Recording read = readWfdbRecording((folder / "f.hea").string(), {std::to_string(i)});
    EXPECT_EQ(read.values, signals[i]) << "signal " << i;
    EXPECT_TRUE(read.invalid.empty());
  }
  // Without a choice the first ECG-like label, in millivolts from the
  // baseline; labels are chosen whatever their case.
  const Recording chosen = readWfdbRecording((folder / "f.hea").string(), {});
  EXPECT_EQ(chosen.channel, "II");
  EXPECT_EQ(chosen.units, "mV");
  EXPECT_DOUBLE_EQ(chosen.durationSeconds(), 1001.0 / 250.0);
  for (std::size_t k = 0; k < kFrames; k += 97) {
    ASSERT_DOUBLE_EQ(chosen.physical(k), (signals[1][k] - 24.0) / 100.0) << "sample " << k;
  }
  EXPECT_EQ(readWfdbRecording((folder / "f.hea").string(), {"v5"}).values, signals[2]);
  // Decoded in one pass for several signals, in any order, the same.
  const std::vector<std::size_t> order{2, 0, 1};
  const std::vector<Recording> together = readWfdbRecordings((folder / "f.hea").string(), order);
  ASSERT_EQ(together.size(), order.size());
  for (std::size_t k = 0; k < order.size(); ++k) {
    EXPECT_EQ(together[k].values, signals[order[k]]) << "signal " << order[k];
    EXPECT_EQ(together[k].channel, (std::vector<std::string>{"RESP", "II", "V5"}[order[k]]));
  }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, WfdbFormat,
                         ::testing::Values(FormatCase{8, 8}, FormatCase{16, 16}, FormatCase{24, 24},
                                           FormatCase{32, 32}, FormatCase{61, 16},
                                           FormatCase{80, 8}, FormatCase{160, 16},
                                           FormatCase{212, 12}, FormatCase{310, 10},
                                           FormatCase{311, 10}),
                         [](const auto& test) { return std::to_string(test.param.format); });

Recording readOnly(const test::TempFolder& folder, std::string_view header, std::string_view data,
                   std::string signal = "0") {
  folder.write("r.hea", header);
  folder.write("r.dat", data);
  return readWfdbRecording((folder / "r.hea").string(), {signal});
}

TEST(WfdbFormatBytes, TenBitPackingsDecodeAsTheFormatLaysThemOut) {
  const test::TempFolder folder;
  // 311: 1, -2 and 511 in bits 0-9, 10-19 and 20-29 of one word, then a
  // lone -511 in two bytes.
  const std::uint32_t word = 1u | (0x3FEu << 10) | (0x1FFu << 20);
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((word >> (8 * i)) & 0xFF);
  bytes += std::string("\x01\x02", 2);
  EXPECT_EQ(readOnly(folder, "r 1 100 4\nr.dat 311\n", bytes).values,
            (std::vector<std::int32_t>{1, -2, 511, -511}));
  // 310: the first two samples, 3 and 5, in bits 1-10 of two words; the
  // third, -3 = 0x3FD, its low five bits 0x1D at the top of the first word,
  // its high five 0x1F at the top of the second (as WFDB packs them).
  const std::uint16_t first = static_cast<std::uint16_t>((3 << 1) | (0x1D << 11));
  const std::uint16_t second = static_cast<std::uint16_t>((5 << 1) | (0x1F << 11));
  bytes = {static_cast<char>(first & 0xFF), static_cast<char>(first >> 8),
           static_cast<char>(second & 0xFF), static_cast<char>(second >> 8)};
  EXPECT_EQ(readOnly(folder, "r 1 100 3\nr.dat 310\n", bytes).values,
            (std::vector<std::int32_t>{3, 5, -3}));
}

TEST(WfdbFormatBytes, FirstDifferencesStartFromTheInitialValue) {
  const test::TempFolder folder;
  // Two signals: initial values 100 and -50, steps +1, -2, +127, -128.
  const std::string steps("\x01\xFE\x7F\x80\x00\x00", 6);
  const std::string header = "r 2 100\nr.dat 8 200 8 0 100 0 0 A\nr.dat 8 200 8 0 -50 0 0 B\n";
  EXPECT_EQ(readOnly(folder, header, steps, "0").values,
            (std::vector<std::int32_t>{101, 228, 228}));
  EXPECT_EQ(readOnly(folder, header, steps, "1").values,
            (std::vector<std::int32_t>{-52, -180, -180}));
}

TEST(WfdbLayout, ASkewedSignalIsReadFromLaterFrames) {
  const test::TempFolder folder;
  // Frames (A, B); B runs two frames late, so its sample 0 is in frame 2.
  const std::vector<std::int32_t> frames{1, 0, 2, 0, 3, 30, 4, 40, 5, 50, 6, 60};
  const std::string data = bytesOf(encodeWfdbSamples(16, frames));
  const std::string header = "r 2 100 4\nr.dat 16 200 16 0 0 0 0 A\nr.dat 16:2 200 16 0 0 0 0 B\n";
  EXPECT_EQ(readOnly(folder, header, data, "A").values, (std::vector<std::int32_t>{1, 2, 3, 4}));
  const Recording b = readOnly(folder, header, data, "B");
  EXPECT_EQ(b.values, (std::vector<std::int32_t>{30, 40, 50, 60}));
  EXPECT_TRUE(b.invalid.empty());
  // Read in one pass, each keeps its own skew.
  const std::vector<std::size_t> both{1, 0};
  const std::vector<Recording> together = readWfdbRecordings((folder / "r.hea").string(), both);
  EXPECT_EQ(together[0].values, b.values);
  EXPECT_EQ(together[1].values, (std::vector<std::int32_t>{1, 2, 3, 4}));

  // With 6 frames in the record, B's last two lie beyond the file: invalid,
  // held at its last value.
  const Recording cut =
      readOnly(folder, "r 2 100 6\nr.dat 16\nr.dat 16:2 200 16 0 0 0 0 B\n", data, "B");
  EXPECT_EQ(cut.values, (std::vector<std::int32_t>{30, 40, 50, 60, 60, 60}));
  EXPECT_EQ(runsOf(cut.invalid), (Runs{{4, 6}}));
}

TEST(WfdbLayout, SeveralSamplesPerFrameGiveTheSignalItsOwnRate) {
  const test::TempFolder folder;
  // Each 100 Hz frame holds 4 ECG samples, then 1 respiration sample.
  std::vector<std::int32_t> stream;
  std::vector<std::int32_t> ecg;
  std::vector<std::int32_t> resp;
  for (int f = 0; f < 5; ++f) {
    for (int k = 0; k < 4; ++k) {
      ecg.push_back(f * 10 + k - 20);
      stream.push_back(ecg.back());
    }
    resp.push_back(-f * 100);
    stream.push_back(resp.back());
  }
  folder.write("m.dat", bytesOf(encodeWfdbSamples(212, stream)));
  folder.write("m.hea",
               "m 2 100 5\nm.dat 212x4 200 12 0 0 0 0 ECG\nm.dat 212 10 12 0 0 0 0 RESP\n");
  const std::string header = (folder / "m.hea").string();
  const Recording fast = readWfdbRecording(header, {"ECG"});
  EXPECT_EQ(fast.values, ecg);
  EXPECT_EQ(fast.rate.numerator, 400);
  EXPECT_DOUBLE_EQ(fast.durationSeconds(), 0.05);
  const Recording slow = readWfdbRecording(header, {"RESP"});
  EXPECT_EQ(slow.values, resp);
  EXPECT_EQ(slow.rate.numerator, 100);
  const std::vector<std::size_t> both{1, 0};
  const std::vector<Recording> together = readWfdbRecordings(header, both);
  EXPECT_EQ(together[0].values, resp);
  EXPECT_EQ(together[1].values, ecg);
  EXPECT_EQ(together[1].rate.numerator, 400);
  const auto listed = listWfdbChannels(header);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].rate.numerator, 400);
  EXPECT_EQ(listed[1].rate.numerator, 100);
}

TEST(WfdbLayout, InvalidRunsAtTheStartMiddleAndEndAreMarkedAndBridged) {
  const test::TempFolder folder;
  const std::vector<std::int16_t> values{-32768, -32768, 10, -32768, -32768, 40, 50, -32768};
  writeWfdbRecord(folder / "gap", {{100, 1}, 16, 10.0, 0, {"ECG"}, {values}});
  const Recording read = readWfdbRecording((folder / "gap.hea").string(), {});
  EXPECT_EQ(read.values, (std::vector<std::int32_t>{10, 10, 10, 20, 30, 40, 50, 50}));
  EXPECT_EQ(runsOf(read.invalid), (Runs{{0, 2}, {3, 5}, {7, 8}}));
}

TEST(WfdbLayout, OnlyTheChosenSignalsInvalidSamplesCount) {
  const test::TempFolder folder;
  // -2048 marks invalid in format 212; the other signal's marks are its own.
  const std::vector<std::int16_t> clean{1, 2, 3, 4};
  const std::vector<std::int16_t> gappy{-2048, 2, -2048, 4};
  writeWfdbRecord(folder / "r", {{100, 1}, 212, 200.0, 0, {"II", "V1"}, {clean, gappy}});
  const std::string header = (folder / "r.hea").string();
  EXPECT_TRUE(readWfdbRecording(header, {"II"}).invalid.empty());
  EXPECT_EQ(runsOf(readWfdbRecording(header, {"V1"}).invalid), (Runs{{0, 1}, {2, 3}}));
}

TEST(WfdbHeaderNumbers, RatesKeepEveryDecimalAndGainsMayBeNegative) {
  const WfdbHeader header = parseWfdbHeader(
      "r 2 360.0000000001/1000.000000000001(5) 10\n"
      "r.dat 16 -200(3)/mV 16 0 0 0 0 II\n"
      "r.dat 16x2:1 0 16 0 0 0 0 V1\n",
      "r.hea");
  EXPECT_EQ(header.rate.numerator, 3'600'000'000'001);
  EXPECT_EQ(header.rate.denominator, 10'000'000'000);
  ASSERT_TRUE(header.counterRate.has_value());
  EXPECT_EQ(header.counterRate->numerator, 1'000'000'000'000'001);
  EXPECT_EQ(header.counterRate->denominator, 1'000'000'000'000);
  EXPECT_EQ(header.signals[0].gain, -200.0);
  EXPECT_EQ(header.signals[1].samplesPerFrame, 2);
  EXPECT_EQ(header.signals[1].skew, 1);
  EXPECT_EQ(header.signalRate(1).numerator, 3'600'000'000'001);
  EXPECT_EQ(header.signalRate(1).denominator, 5'000'000'000);
}

TEST(WfdbHeaderNumbers, ANegativeGainInvertsThePhysicalValues) {
  const test::TempFolder folder;
  const Recording read =
      readOnly(folder, "r 1 100 2\nr.dat 16 -100(10)/mV 16 0 0 0 0 II\n",
               bytesOf(encodeWfdbSamples(16, std::vector<std::int32_t>{110, -90})));
  EXPECT_EQ(physicalSamples(read), (std::vector<double>{-1.0, 1.0}));
}

class WfdbFlac : public ::testing::TestWithParam<FormatCase> {};

TEST_P(WfdbFlac, TwoSignalsOfTwoSamplesPerFrameReadBackWithTheirInvalidSamples) {
  const FormatCase c = GetParam();
  const test::TempFolder folder;
  std::vector<std::vector<std::int32_t>> channels{valuesFor(c, 2 * 3001, 3),
                                                  valuesFor(c, 2 * 3001, 4)};
  const std::int32_t invalid = -(1 << (c.bits - 1));
  channels[0][5] = invalid;
  channels[0][6] = invalid;
  writeWfdbFlacFile(folder / "f.dat", c.format, channels);
  const std::string format = std::to_string(c.format) + "x2";
  folder.write("f.hea", "f 2 250 3001\nf.dat " + format + " 100 0 0 0 0 0 II\nf.dat " + format +
                            " 100 0 0 0 0 0 V1\n");
  const std::string header = (folder / "f.hea").string();
  const Recording second = readWfdbRecording(header, {"V1"});
  EXPECT_EQ(second.values, channels[1]);
  EXPECT_EQ(second.rate.numerator, 500);
  const Recording first = readWfdbRecording(header, {"II"});
  EXPECT_EQ(runsOf(first.invalid), (Runs{{5, 7}}));
  EXPECT_EQ(std::vector(first.values.begin() + 7, first.values.end()),
            std::vector(channels[0].begin() + 7, channels[0].end()));
}

INSTANTIATE_TEST_SUITE_P(FlacFormats, WfdbFlac,
                         ::testing::Values(FormatCase{508, 8}, FormatCase{516, 16},
                                           FormatCase{524, 24}),
                         [](const auto& test) { return std::to_string(test.param.format); });

std::string flacErrorOf(const test::TempFolder& folder, std::string_view header) {
  folder.write("f.hea", header);
  return errorOf([&] { readWfdbRecording((folder / "f.hea").string(), {}); });
}

TEST(WfdbFlacFaults, AStreamOfAnotherLayoutOrNoStreamIsRefused) {
  const test::TempFolder folder;
  const std::vector<std::vector<std::int32_t>> channels{{1, 2, 3}, {4, 5, 6}};
  writeWfdbFlacFile(folder / "f.dat", 516, channels);
  const std::string data = (folder / "f.dat").string();
  EXPECT_EQ(flacErrorOf(folder, "f 3 250\nf.dat 516\nf.dat 516\nf.dat 516\n"),
            data + ": the FLAC stream holds 2 channels of 16 bits, the header describes 3 of 16");
  EXPECT_EQ(flacErrorOf(folder, "f 2 250 4\nf.dat 516\nf.dat 516\n"),
            data + ": the header announces 4 samples per signal, the signal file holds 3");
  // The header's length bounds what is decoded.
  folder.write("f.hea", "f 2 250 2\nf.dat 516\nf.dat 516\n");
  EXPECT_EQ(readWfdbRecording((folder / "f.hea").string(), {"1"}).values,
            (std::vector<std::int32_t>{4, 5}));
  folder.write("f.dat", "not a FLAC stream at all");
  EXPECT_EQ(flacErrorOf(folder, "f 2 250\nf.dat 516\nf.dat 516\n"),
            data + ": the signal file is no FLAC stream");
}

// A few kilobytes of FLAC that decode to millions of samples of a constant
// are stopped as they decode, whatever length the header gives.
TEST(WfdbFlacFaults, AStreamThatDecodesFarBeyondItsSizeIsStoppedAsItDecodes) {
  const test::TempFolder folder;
  const std::vector<std::vector<std::int32_t>> flat{std::vector<std::int32_t>(4'000'000, 7)};
  writeWfdbFlacFile(folder / "f.dat", 516, flat);
  const std::string data = (folder / "f.dat").string();
  ASSERT_LT(std::filesystem::file_size(data) * kMostFlacSamplesPerByte, 4'000'000u);
  const std::string refused = data +
                              ": the FLAC stream decodes to more than 256 samples a byte of "
                              "the file";
  EXPECT_EQ(flacErrorOf(folder, "f 1 250\nf.dat 516\n"), refused);
  EXPECT_EQ(flacErrorOf(folder, "f 1 250 4000000\nf.dat 516\n"), refused);
  // An ECG-like stream decodes in full.
  std::vector<std::int32_t> ecg(20'000);
  for (std::size_t i = 0; i < ecg.size(); ++i) {
    ecg[i] = static_cast<std::int32_t>(300 * std::sin(0.05 * static_cast<double>(i)) +
                                       static_cast<double>(i * 7919 % 13));
  }
  writeWfdbFlacFile(folder / "f.dat", 516, std::vector<std::vector<std::int32_t>>{ecg});
  folder.write("f.hea", "f 1 250\nf.dat 516\n");
  EXPECT_EQ(readWfdbRecording((folder / "f.hea").string(), {}).values, ecg);
}

}  // namespace
}  // namespace rrscope::recordings
