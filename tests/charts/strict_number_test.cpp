#include "text/strict_number.h"

#include <gtest/gtest.h>

namespace rrscope::text {
namespace {

using enum StrictFailure;

TEST(StrictNumber, ReadsOneWholeNumberBetweenBlanksAndItsWholePartInSixteenBits) {
  const struct {
    std::string_view text;
    StrictFailure failure;
    double value;
    StrictFailure wholeFailure;
    int whole;
  } cases[] = {
      {" \t2.5e-1 ", none, 0.25, none, 0},
      {"2.", none, 2, none, 2},
      {".5", none, .5, none, 0},
      {"-0.5", none, -.5, none, -1},
      {"+4", none, 4, none, 4},
      {"-1E+2", none, -100, none, -100},
      {"1e-400", none, 0, none, 0},
      {"32767.9", none, 32767.9, none, 32767},
      {"-32768", none, -32768, none, -32768},
      {"32768", none, 32768, outOfRange, 0},
      {"-32768.5", none, -32768.5, outOfRange, 0},
      {"1e999", outOfRange, 0, outOfRange, 0},
  };
  for (const auto& c : cases) {
    const StrictNumber number = strictNumber(c.text);
    const StrictShort whole = strictWholeShort(c.text);
    EXPECT_EQ(number.failure, c.failure) << c.text;
    EXPECT_EQ(number.value, c.value) << c.text;
    EXPECT_EQ(whole.failure, c.wholeFailure) << c.text;
    EXPECT_EQ(whole.value, c.whole) << c.text;
  }
  for (const std::string_view text :
       {"", "  ", ".", "-", "e5", "1e", "1e+", "1 2", "1,5", "&H10", "3x", "--1", "1.2.3"}) {
    EXPECT_EQ(strictNumber(text).failure, notANumber) << '"' << text << '"';
    EXPECT_EQ(strictWholeShort(text).failure, notANumber) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace rrscope::text
