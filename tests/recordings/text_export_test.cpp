#include "recordings/text_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "tests/core/temp_folder.h"

namespace rrscope::recordings {
namespace {

// Counts what an export hands over, keeping only the ends of each part, so
// that ten million lines need no disk.
class CountingSink : public TextPartSink {
 public:
  struct Part {
    std::int64_t lines = 0;
    std::string head;
    std::string tail;
    std::vector<std::int64_t> beats;
  };

  void beginPart(std::size_t index, std::size_t partCount) override {
    EXPECT_EQ(index, parts.size());
    (void)partCount;
    parts.emplace_back();
  }
  void writeLines(std::string_view text) override {
    Part& part = parts.back();
    part.lines += std::ranges::count(text, '\n');
    if (part.head.size() < 64) part.head += text.substr(0, 64);
    part.tail = (part.tail + std::string(text.substr(text.size() > 64 ? text.size() - 64 : 0)));
    if (part.tail.size() > 64) part.tail.erase(0, part.tail.size() - 64);
  }
  void endPart(std::span<const std::int64_t> beatLines) override {
    parts.back().beats.assign(beatLines.begin(), beatLines.end());
  }

  std::vector<Part> parts;
};

// A recording of `values` at `rate` samples a second, 1000 steps a unit.
Recording recordingOf(std::vector<std::int32_t> values, std::int64_t rate = 6000) {
  Recording recording;
  recording.rate = {rate, 1};
  recording.gain = 1000.0;
  recording.values = std::move(values);
  return recording;
}

// At 6000 samples per second, one line per sample, line k reading
// (k mod 1000) / 1000.
Recording recordingOfLines(std::size_t lines) {
  std::vector<std::int32_t> values(lines);
  for (std::size_t i = 0; i < lines; ++i) values[i] = static_cast<std::int32_t>(i % 1000);
  return recordingOf(std::move(values));
}

TEST(TextExport, TenMillionLinesStayOnePartAndOneMoreLineStartsASecond) {
  const std::vector<std::int64_t> beats{0, 9'999'999, 10'000'000};
  CountingSink whole;
  exportText(recordingOfLines(10'000'000), beats, whole);
  ASSERT_EQ(whole.parts.size(), 1u);
  EXPECT_EQ(whole.parts[0].lines, 10'000'000);
  EXPECT_EQ(whole.parts[0].beats, (std::vector<std::int64_t>{1, 10'000'000}));

  CountingSink split;
  exportText(recordingOfLines(10'000'001), beats, split);
  ASSERT_EQ(split.parts.size(), 2u);
  EXPECT_EQ(split.parts[0].lines, 10'000'000);
  EXPECT_EQ(split.parts[1].lines, 1);
  EXPECT_TRUE(split.parts[0].tail.ends_with("\n0.998\n0.999\n"));
  EXPECT_EQ(split.parts[1].head, "0.000\n");
  EXPECT_EQ(split.parts[0].beats, (std::vector<std::int64_t>{1, 10'000'000}));
  EXPECT_EQ(split.parts[1].beats, (std::vector<std::int64_t>{1}));
}

TEST(TextExport, LinesInterpolateBetweenSamplesWithThreeDecimals) {
  CountingSink sink;
  exportText(recordingOf({-145, 1000, -2000}, 2400), {}, sink);  // 2.5 lines per sample
  ASSERT_EQ(sink.parts.size(), 1u);
  // Line k is at sample k * 0.4; the last line, 5, is at sample 2.
  EXPECT_EQ(sink.parts[0].head, "-0.145\n0.313\n0.771\n0.400\n-0.800\n-2.000\n");
}

TEST(TextExport, FilesAreNumberedOnlyWhenSplitAndCarryTheirBeats) {
  const test::TempFolder folder;
  const std::vector<std::int64_t> beats{1, 7};
  const auto written = exportTextFiles(recordingOf({500, 250}), beats, true, folder.path(), "rec");
  ASSERT_EQ(written.size(), 2u);
  std::ifstream samples(folder / "rec.txt", std::ios::binary);
  std::ifstream beatFile(folder / "rec-beats.txt", std::ios::binary);
  std::stringstream text;
  text << samples.rdbuf() << "|" << beatFile.rdbuf();
  EXPECT_EQ(text.str(), "0.500\n0.250\n|2\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                          std::filesystem::directory_iterator()),
            2);
}

}  // namespace
}  // namespace rrscope::recordings
