#include "text/numeric_parse.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace rrscope::text {
namespace {

double parsed(std::string_view text) {
  const auto value = numericParse(text);
  EXPECT_TRUE(value.has_value()) << '"' << text << '"';
  return value.value_or(std::nan(""));
}

struct Case {
  const char* text;
  double expected;
};

// Decimal numbers up to the first character that cannot continue them,
// blanks, tabs and line feeds skipped everywhere (a carriage return ends
// the number), and &H / &O prefixes reading unsigned whole numbers.
TEST(NumericParse, ReadsTheNumberAtTheStart) {
  const Case cases[] = {
      {"0.4", 0.4},   {"500", 500},       {"-0.145", -0.145}, {"+5", 5},
      {".5", 0.5},    {"2.", 2},          {"-.01", -0.01},    {" .6", 0.6},
      {"0.03", 0.03}, {"1,5", 1},         {"0,9", 0},         {"1.2.3", 1.2},
      {"5-", 5},      {"12abc", 12},      {"0x1A", 0},        {"1E3", 1000},
      {"1e3", 1000},  {"2.5e-3", 0.0025}, {"1e+2", 100},      {"1e", 1},
      {"1e+", 1},     {"1E-", 1},         {"1ex", 1},         {"1e5x", 1e5},
      {"007", 7},     {"  42", 42},       {"1 2", 12},        {"- 5", -5},
      {"\t1\n2", 12}, {"1 . 5", 1.5},     {"1 e 2", 100},     {"\n\n-\t.25", -0.25},
      {"1\r2", 1},    {"&H1F", 31},       {"&h1f", 31},       {"&HFFFF", 65535},
      {"&H", 0},      {"&Hxyz", 0},       {"&O17", 15},       {"&o777", 511},
      {"&O8", 0},     {"&O18", 1},        {" & H 10", 16},    {"&H10.5", 16},
  };
  for (const auto& c : cases) EXPECT_EQ(parsed(c.text), c.expected) << '"' << c.text << '"';
  // Long texts: a tie goes to the even neighbour; the last is 2^90 rounded.
  EXPECT_EQ(parsed("0.1000000000000000055511151231257827"), 0.1);
  EXPECT_EQ(parsed("9007199254740993"), 9007199254740992.0);
  EXPECT_EQ(parsed("123456789012345678901234567890"), 1.2345678901234568e29);
  EXPECT_EQ(parsed("&HFFFFFFFFFFFFFFFFF"), 295147905179352825856.0);
  EXPECT_EQ(parsed("&O777777777777777777777777777777"), 1237940039285380274899124224.0);
}

TEST(NumericParse, TextThatDoesNotBeginWithANumberIsZero) {
  for (const char* text : {"", " ", "abc", "-", "+", ".", "-.", "e5", "--5", "+-5", "inf", "-inf",
                           "infinity", "nan", "NaN", "&", "&X1", "\x01", "€5"}) {
    EXPECT_EQ(parsed(text), 0.0) << '"' << text << '"';
  }
}

TEST(NumericParse, NumbersBeyondTheDoubleRangeAreOverflows) {
  for (const char* text : {"1e999", "-1e999", "1e309", "1.7976931348623159e308",
                           "1e99999999999999999999", "0.0001e400"}) {
    EXPECT_FALSE(numericParse(text).has_value()) << text;
  }
  EXPECT_FALSE(numericParse("&H" + std::string(300, 'F')).has_value());
  EXPECT_FALSE(numericParse("&O" + std::string(400, '7')).has_value());
  EXPECT_EQ(parsed("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

TEST(NumericParse, NumbersTooSmallForADoubleAreZeroOrSubnormal) {
  EXPECT_EQ(parsed("1e-400"), 0.0);
  EXPECT_EQ(parsed("-1e-99999999999999999999"), 0.0);
  EXPECT_EQ(parsed("0e99999"), 0.0);
  EXPECT_EQ(parsed("4.9406564584124654e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(parsed("2.2250738585072011e-308"), 2.2250738585072011e-308);
  EXPECT_EQ(parsed("1000e-310"), 1e-307);
}

TEST(NumericParse, ShortAndGeneralPathsAgree) {
  // Sample lines take a quick path; the same values written so that they take
  // the general one must read identically.
  for (int i = -2000; i <= 2000; i += 7) {
    for (const int scale : {1, 10, 1000, 1000000}) {
      const std::string plain = std::to_string(i) + "." + std::to_string(scale).substr(1);
      const std::string spaced = " " + plain;
      EXPECT_EQ(parsed(plain), parsed(spaced)) << plain;
    }
  }
  EXPECT_EQ(parsed("123456789012345"), parsed(" 123456789012345"));
  EXPECT_EQ(parsed("0.123456789012345"), 0.123456789012345);
  EXPECT_EQ(parsed("1234567890123456"), 1234567890123456.0);  // 16 digits: general path
}

// A text of billions of characters that costs a megabyte: HEAD, then COUNT
// times FILL, then TAIL, made of one megabyte of FILL mapped over and over.
class GeneratedText {
 public:
  GeneratedText(std::string_view head, char fill, std::size_t count, std::string_view tail) {
    const int file = ::memfd_create("generated-text", 0);
    const std::string chunk(kChunk, fill);
    if (file < 0 || ::write(file, chunk.data(), kChunk) != static_cast<ssize_t>(kChunk)) return;
    // The fill ends on a chunk boundary with a chunk before it for the head
    // and one after it for the tail.
    const std::size_t chunks = (count + kChunk - 1) / kChunk + 2;
    size_ = chunks * kChunk;
    void* reserved = ::mmap(nullptr, size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (reserved == MAP_FAILED) return;
    base_ = static_cast<char*>(reserved);
    for (std::size_t i = 0; i < chunks; ++i) {
      // Private mappings: writing the head and the tail copies only their pages.
      ::mmap(base_ + i * kChunk, kChunk, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_FIXED, file, 0);
    }
    ::close(file);
    char* const fillEnd = base_ + size_ - kChunk;
    char* const begin = fillEnd - count - head.size();
    std::memcpy(begin, head.data(), head.size());
    std::memcpy(fillEnd, tail.data(), tail.size());
    text_ = std::string_view(begin, head.size() + count + tail.size());
  }
  ~GeneratedText() {
    if (base_ != nullptr) ::munmap(base_, size_);
  }
  GeneratedText(const GeneratedText&) = delete;
  GeneratedText& operator=(const GeneratedText&) = delete;

  std::string_view text() const { return text_; }

 private:
  static constexpr std::size_t kChunk = std::size_t{1} << 20;
  char* base_ = nullptr;
  std::size_t size_ = 0;
  std::string_view text_;
};

// Counts of digits around 2^31 are where a 32-bit count of positions would
// wrap; each of these texts must read as the same number written short.
TEST(NumericParse, BillionsOfDigitsCountInSixtyFourBits) {
  constexpr std::size_t k2To31 = std::size_t{1} << 31;
  struct DigitCase {
    std::string_view head;
    char fill;
    std::size_t count;
    std::string_view tail;
    std::optional<double> expected;
  };
  const DigitCase cases[] = {
      {"", '1', k2To31 - 1, "", std::nullopt},
      {"", '1', k2To31, "", std::nullopt},
      {"-", '1', k2To31, "e-2147483640", -11111111.111111111111111111111},
      {"0.", '0', k2To31, "25e2147483649", 2.5},
  };
  for (const DigitCase& c : cases) {
    const GeneratedText generated(c.head, c.fill, c.count, c.tail);
    ASSERT_EQ(generated.text().size(), c.head.size() + c.count + c.tail.size());
    EXPECT_EQ(numericParse(generated.text()), c.expected)
        << c.head << c.fill << " x " << c.count << c.tail;
  }
}

}  // namespace
}  // namespace rrscope::text
