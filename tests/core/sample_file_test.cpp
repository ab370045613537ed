#include <dirent.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/run_error.h"
#include "analysis/run_stages.h"
#include "analysis/sample_lines.h"
#include "temp_folder.h"

namespace rrscope {
namespace {

std::vector<std::string> linesOf(const SampleLines& lines) {
  std::vector<std::string> result;
  for (std::int64_t i = 1; i <= lines.lineCount(); ++i) result.emplace_back(lines.line(i));
  return result;
}

using Lines = std::vector<std::string>;

TEST(SampleLines, EachKindOfLineBreakEndsALine) {
  struct Case {
    std::string_view bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"\n", {""}},
      {"0.1\n0.9\n0.2", {"0.1", "0.9", "0.2"}},
      {"0.1\n0.9\n0.2\n", {"0.1", "0.9", "0.2"}},
      {"0.1\r\n0.9\r\n", {"0.1", "0.9"}},
      {"0.1\r0.9\r", {"0.1", "0.9"}},
      {"a\r\rb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\r\nb\n\n", {"a", "", "b", ""}},
      {"\r\n", {""}},
      {" 1 \t\n,5", {" 1 \t", ",5"}},
      {"long line of sixteen+ bytes\rand another one over sixteen\r\n",
       {"long line of sixteen+ bytes", "and another one over sixteen"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(linesOf(SampleLines::fromText(c.bytes)), c.lines) << ::testing::PrintToString(c.bytes);
  }
}

TEST(SampleLines, PositionsAboveTheFileReadAsEmptyText) {
  const SampleLines lines = SampleLines::fromText("1\n2\n3\n");
  EXPECT_EQ(lines.lineCount(), 3);
  EXPECT_EQ(lines.line(3), "3");
  EXPECT_EQ(lines.line(4), "");
  EXPECT_EQ(lines.line(SampleLines::kCapacity), "");
}

TEST(SampleLines, NulBytesAndMegabyteLinesAreOrdinaryText) {
  const std::string nul("0.5\0x\n\0\n", 8);
  const SampleLines binary = SampleLines::fromText(nul);
  ASSERT_EQ(binary.lineCount(), 2);
  EXPECT_EQ(binary.line(1), std::string_view("0.5\0x", 5));
  EXPECT_EQ(binary.line(2), std::string_view("\0", 1));

  const std::string huge(1 << 20, '7');
  const SampleLines wide = SampleLines::fromText(huge + "\n" + huge);
  ASSERT_EQ(wide.lineCount(), 2);
  EXPECT_EQ(wide.line(2).size(), huge.size());
}

TEST(LineStarts, OffsetsBeyondTheLowBitsStayExact) {
  // Three low bits stand in for 32, so that offsets wrap every 8 bytes.
  LineStarts starts(3);
  const std::vector<std::uint64_t> offsets = {0, 3, 7, 8, 9, 30, 31, 64, 100, 101};
  for (const auto offset : offsets) starts.push(offset);
  ASSERT_EQ(starts.size(), offsets.size());
  for (std::size_t i = 0; i < offsets.size(); ++i) EXPECT_EQ(starts[i], offsets[i]) << i;
}

int openDescriptors() {
  int count = 0;
  if (DIR* dir = ::opendir("/proc/self/fd")) {
    while (::readdir(dir) != nullptr) ++count;
    ::closedir(dir);
  }
  return count;
}

ErrorKind kindOfLoading(const std::string& path) {
  try {
    readSampleFile(path);
  } catch (const RunError& error) {
    return error.kind();
  }
  ADD_FAILURE() << "no error for " << path;
  return ErrorKind::typeMismatch;
}

TEST(ReadSampleFile, ReportsWhatCannotBeReadAndClosesTheFileOnEveryPath) {
  test::TempFolder folder;
  const std::string tooLong = folder.write("too-long.txt", std::string(20'000'002, '\n'));
  const int before = openDescriptors();
  EXPECT_EQ(kindOfLoading(""), ErrorKind::cannotOpenFile);
  EXPECT_EQ(kindOfLoading(folder.path() + "/missing.txt"), ErrorKind::cannotOpenFile);
  EXPECT_EQ(kindOfLoading(folder.path()), ErrorKind::cannotOpenFile);
  EXPECT_EQ(kindOfLoading("/proc/self/mem"), ErrorKind::readError);  // reading it fails with EIO
  EXPECT_EQ(kindOfLoading(tooLong), ErrorKind::subscriptOutOfRange);
  EXPECT_EQ(openDescriptors(), before);
}

TEST(ReadSampleFile, TakesExactlyTenMillionLinesAndNoMore) {
  test::TempFolder folder;
  std::string bytes(20'000'000, '\n');
  for (std::size_t i = 0; i < bytes.size(); i += 2) bytes[i] = '1';
  const SampleLines full = readSampleFile(folder.write("full.txt", bytes));
  EXPECT_EQ(full.lineCount(), 10'000'000);
  EXPECT_EQ(full.line(10'000'000), "1");
  // A last line without its line break is still a line, the one too many.
  EXPECT_EQ(kindOfLoading(folder.write("one-more.txt", bytes + "1")),
            ErrorKind::subscriptOutOfRange);
  EXPECT_EQ(readSampleFile(folder.write("crlf.txt", "1\r\n")).lineCount(), 1);
}

TEST(ReadSampleFile, OpensNamesWithCyrillicLetters) {
  test::TempFolder folder;
  const std::string path = folder.write("запись пациента.txt", "0.1\n0.9\n0.2\n");
  EXPECT_EQ(linesOf(readSampleFile(path)), (Lines{"0.1", "0.9", "0.2"}));
}

}  // namespace
}  // namespace rrscope
