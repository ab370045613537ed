#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "analysis/run_error.h"
#include "analysis/run_stages.h"
#include "analysis/sample_lines.h"
#include "bounded_child.h"
#include "temp_folder.h"

namespace rrscope {
namespace {

std::vector<std::string> linesOf(const analysis::SampleLines& lines) {
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
    EXPECT_EQ(linesOf(analysis::SampleLines::fromText(c.bytes)), c.lines)
        << ::testing::PrintToString(c.bytes);
  }
}

TEST(SampleLines, NulBytesAndMegabyteLinesAreOrdinaryText) {
  const std::string nul("0.5\0x\n\0\n", 8);
  const analysis::SampleLines binary = analysis::SampleLines::fromText(nul);
  ASSERT_EQ(binary.lineCount(), 2);
  EXPECT_EQ(binary.line(1), std::string_view("0.5\0x", 5));
  EXPECT_EQ(binary.line(2), std::string_view("\0", 1));

  const std::string huge(1 << 20, '7');
  const analysis::SampleLines wide = analysis::SampleLines::fromText(huge + "\n" + huge);
  ASSERT_EQ(wide.lineCount(), 2);
  EXPECT_EQ(wide.line(2).size(), huge.size());
}

TEST(LineStarts, OffsetsBeyondTheLowBitsStayExact) {
  // Three low bits stand in for 32, so that offsets wrap every 8 bytes.
  analysis::LineStarts starts(3);
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

analysis::ErrorKind kindOfLoading(const std::string& path) {
  try {
    analysis::readSampleFile(path);
  } catch (const analysis::RunError& error) {
    return error.kind();
  }
  ADD_FAILURE() << "no error for " << path;
  return analysis::ErrorKind::typeMismatch;
}

TEST(ReadSampleFile, ReportsWhatCannotBeReadAndClosesTheFileOnEveryPath) {
  test::TempFolder folder;
  const std::string tooLong = folder.write("too-long.txt", std::string(20'000'002, '\n'));
  const int before = openDescriptors();
  EXPECT_EQ(kindOfLoading(""), analysis::ErrorKind::cannotOpenFile);
  EXPECT_EQ(kindOfLoading(folder.path() + "/missing.txt"), analysis::ErrorKind::cannotOpenFile);
  EXPECT_EQ(kindOfLoading(folder.path()), analysis::ErrorKind::cannotOpenFile);
  EXPECT_EQ(kindOfLoading("/proc/self/mem"),
            analysis::ErrorKind::readError);  // reading it fails with EIO
  EXPECT_EQ(kindOfLoading(tooLong), analysis::ErrorKind::subscriptOutOfRange);
  EXPECT_EQ(openDescriptors(), before);
}

TEST(ReadSampleFile, TakesExactlyTenMillionLinesAndNoMore) {
  test::TempFolder folder;
  std::string bytes(20'000'000, '\n');
  for (std::size_t i = 0; i < bytes.size(); i += 2) bytes[i] = '1';
  const analysis::SampleLines full = analysis::readSampleFile(folder.write("full.txt", bytes));
  EXPECT_EQ(full.lineCount(), 10'000'000);
  EXPECT_EQ(full.line(10'000'000), "1");
  // A last line without its line break is still a line, the one too many.
  EXPECT_EQ(kindOfLoading(folder.write("one-more.txt", bytes + "1")),
            analysis::ErrorKind::subscriptOutOfRange);
  EXPECT_EQ(analysis::readSampleFile(folder.write("crlf.txt", "1\r\n")).lineCount(), 1);
}

// How a load that failed reads in the tests: its kind, cause and line.
std::string failure(analysis::ErrorCause cause, std::int64_t line = 0) {
  return std::string(errorKindKey(errorKind(cause))) + ", cause " +
         std::to_string(static_cast<int>(cause)) + ", line " + std::to_string(line);
}

// Loads `path` in a bounded child and tells how it ended: "lines N", or the
// failure.
std::string boundedLoading(const std::string& path) {
  const test::ChildEnd end = test::runBounded([&path] {
    try {
      return "lines " + std::to_string(analysis::readSampleFile(path).lineCount());
    } catch (const analysis::RunError& error) {
      return failure(error.facts().cause, error.facts().line);
    }
  });
  EXPECT_TRUE(end.finished) << path << " ended by signal " << end.signal;
  return end.text;
}

// Input that can never be a sample file ends in an error after a bounded
// read, in time and memory, instead of filling the memory or waiting for ever.
TEST(ReadSampleFile, EndlessOrSilentInputStopsWithinBounds) {
  test::TempFolder folder;
  const test::FedPipe zeros([](int fd) { test::writeForEver(fd, std::string(1 << 16, '0')); });
  const test::FedPipe endlessLines([](int fd) {
    std::string lines;
    for (int i = 0; i < 1 << 15; ++i) lines += "0\n";
    test::writeForEver(fd, lines);
  });
  const std::string twoGigabytes = folder.write("two-gigabytes.txt", "");
  ASSERT_EQ(::truncate(twoGigabytes.c_str(), off_t{2} << 30), 0);  // no line break in it
  const std::string fifo = folder.path() + "/fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

  struct Case {
    std::string path;
    std::string outcome;
  };
  const Case cases[] = {
      {zeros.path(), failure(analysis::ErrorCause::lineTooLong, 1)},
      {twoGigabytes, failure(analysis::ErrorCause::lineTooLong, 1)},
      {endlessLines.path(), failure(analysis::ErrorCause::tooManyLines)},
      {fifo, failure(analysis::ErrorCause::pipeWithoutWriter)},
      {"/dev/zero", failure(analysis::ErrorCause::fileIsDevice)},
  };
  for (const Case& c : cases) EXPECT_EQ(boundedLoading(c.path), c.outcome) << c.path;
}

// The line limit counts the bytes of one line, whichever way it breaks.
TEST(ReadSampleFile, TakesLinesUpToTheLongestLine) {
  test::TempFolder folder;
  const std::string longest(analysis::SampleLines::kLongestLine, '7');
  EXPECT_EQ(boundedLoading(folder.write("longest.txt", "1\r\n" + longest + "\r\n2")), "lines 3");
  EXPECT_EQ(boundedLoading(folder.write("longer.txt", "1\n2\r" + longest + "7\n")),
            failure(analysis::ErrorCause::lineTooLong, 3));
}

// Pipes are read as they deliver, whether the writer is done before the
// read or sends only later.
TEST(ReadSampleFile, ReadsPipesThatAProgramWritesTo) {
  const test::FedPipe early([](int fd) { (void)!::write(fd, "0.5\n1\n", 6); });
  const test::FedPipe late([](int fd) {
    ::usleep(300'000);
    (void)!::write(fd, "0.5\r\n1\r\n2", 9);
  });
  ::usleep(100'000);  // lets the early writer finish
  EXPECT_EQ(boundedLoading(early.path()), "lines 2");
  EXPECT_EQ(boundedLoading(late.path()), "lines 3");
}

TEST(ReadSampleFile, OpensNamesWithCyrillicLetters) {
  test::TempFolder folder;
  const std::string path = folder.write("запись пациента.txt", "0.1\n0.9\n0.2\n");
  EXPECT_EQ(linesOf(analysis::readSampleFile(path)), (Lines{"0.1", "0.9", "0.2"}));
}

}  // namespace
}  // namespace rrscope
