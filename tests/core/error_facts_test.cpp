#include <gtest/gtest.h>

#include <string>

#include "analysis/run_error.h"
#include "text/number_text.h"
#include "text/text_cut.h"

namespace rrscope {
namespace {

std::string repeated(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(TextCut, CutsAfterWholeCharactersOnly) {
  EXPECT_EQ(text::cutToCharacters(repeated("7", 40), 40), repeated("7", 40));
  EXPECT_EQ(text::cutToCharacters(repeated("7", 41), 40), repeated("7", 40) + "...");
  // Two bytes a letter: forty letters are eighty bytes, never seventy-nine.
  EXPECT_EQ(text::cutToCharacters(repeated("ж", 41), 40), repeated("ж", 40) + "...");
  EXPECT_EQ(text::cutToCharacters(repeated("1", 1) + repeated("ж", 45), 40),
            repeated("1", 1) + repeated("ж", 39) + "...");
  EXPECT_EQ(text::cutToCharacters(repeated("€", 3) + repeated("😀", 3), 4),
            repeated("€", 3) + "😀...");
  // A broken sequence is one character of the bytes it has; a stray
  // continuation byte is one of its own.
  EXPECT_EQ(text::cutToCharacters("\xD0\xD0\xB6z", 2), "\xD0\xD0\xB6...");
  EXPECT_EQ(text::cutToCharacters("\xB6\xB6z", 1), "\xB6...");
}

TEST(TextCut, AReportQuotesAtMostFortyCharactersOfEveryText) {
  const analysis::RunError error({.cause = analysis::ErrorCause::binOverflow,
                                  .fields = {{analysis::TextBox::Text1, repeated("я", 50)}},
                                  .text = repeated("ж", 50)});
  EXPECT_EQ(error.facts().text, repeated("ж", 40) + "...");
  EXPECT_EQ(error.facts().fields[0].text, repeated("я", 40) + "...");
}

TEST(ReportNumbers, NoiseAroundZeroAndRoundingToHundredths) {
  EXPECT_EQ(text::reportNumberText(-5.84254866708989E-15, 2), "0.00");
  EXPECT_EQ(text::reportNumberText(0.3, 2), "0.30");
  EXPECT_EQ(text::reportNumberText(-3.95, 2), "-3.95");
  EXPECT_EQ(text::reportNumberText(1e300, 0).size(), 301u);
}

}  // namespace
}  // namespace rrscope
