#include "text/number_text.h"

#include <gtest/gtest.h>

#include <limits>

#include "text/numeric_parse.h"

namespace rrscope::text {
namespace {

struct Case {
  double value;
  const char* text;
};

TEST(SignedNumberText, BlankOrMinusThenAtMostFifteenDigits) {
  const Case cases[] = {
      {0.5, " .5"},
      {9, " 9"},
      {0, " 0"},
      {-0.0, " 0"},
      {-0.01, "-.01"},
      {550, " 550"},
      {0.4 + 0.1, " .5"},
      {0.03 - 0.01, " .02"},
      {0.01 - 0.01, " 0"},
      {3001.0 / 6000, " .500166666666667"},
      {60001.0 / 6000, " 10.0001666666667"},
      {2.0 / 3, " .666666666666667"},
      {-1234.5, "-1234.5"},
      {123456789012345, " 123456789012345"},
      {999999999999999.4, " 999999999999999"},
      {999999999999999.9, " 1E+15"},
      {1e15, " 1E+15"},
      {-2.5e20, "-2.5E+20"},
      {0.0001, " .0001"},
      {1.0 / 6000, " 1.66666666666667E-04"},
      {0.0123456789012345, " 1.23456789012345E-02"},
      {1e-300, " 1E-300"},
      {std::numeric_limits<double>::max(), " 1.79769313486232E+308"},
  };
  for (const auto& c : cases) EXPECT_EQ(signedNumberText(c.value), c.text) << c.value;
}

TEST(SignedNumberText, ReadsBackThroughTheParseWithoutDrift) {
  // Ten steps of 0.1 from 0, each re-reading the text of the step before.
  std::string text = " 0";
  const char* expected[] = {" .1", " .2", " .3", " .4", " .5", " .6", " .7", " .8", " .9", " 1"};
  for (const char* step : expected) {
    text = signedNumberText(*numericParse(text) + 0.1);
    EXPECT_EQ(text, step);
  }
  for (const double value : {1.0 / 3, -2.0 / 7, 1e-20, 6.02214076e23, 4500.0 / 6000}) {
    const double back = *numericParse(signedNumberText(value));
    EXPECT_NEAR(back, value, std::abs(value) * 1e-14) << value;
  }
}

TEST(LocaleNumberText, ZeroBeforeTheSeparatorAndNoBlank) {
  const Case cases[] = {
      {4500.0 / 6000, "0.75"},
      {6000.0 / 6000, "1"},
      {5000.0 / 6000, "0.833333333333333"},
      {6000.0 / 6000 - 4500.0 / 6000, "0.25"},
      {4500.0 / 6000 - 6000.0 / 6000, "-0.25"},
      {0, "0"},
      {-0.0, "0"},
      {1.0 / 6000, "1.66666666666667E-04"},
      {123456789.125, "123456789.125"},
  };
  for (const auto& c : cases) EXPECT_EQ(localeNumberText(c.value, "."), c.text) << c.value;
  EXPECT_EQ(localeNumberText(4500.0 / 6000, ","), "0,75");
  EXPECT_EQ(localeNumberText(-1.0 / 6000, ","), "-1,66666666666667E-04");
}

}  // namespace
}  // namespace rrscope::text
