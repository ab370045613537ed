// The number texts of any double read back through the numeric parse as the
// double rounded to 15 significant digits, and whole numbers read back whole.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "text/number_text.h"
#include "text/numeric_parse.h"

namespace {

// `value` rounded to 15 significant digits, through printf's correctly
// rounded decimal digits.
double roundedTo15Digits(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  return std::strtod(buffer, nullptr);
}

// Near the largest double, the rounded value lies beyond the doubles, and
// its text reads back as an overflow.
void checkReadsBack(const std::string& text, double expected) {
  const auto value = rrscope::text::numericParse(text);
  if (std::isinf(expected)) {
    FUZZ_CHECK(!value, text);
  } else {
    FUZZ_CHECK(value && *value == expected, text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(double)) return 0;
  double value = 0;
  std::memcpy(&value, data, sizeof value);
  std::int64_t whole = 0;
  std::memcpy(&whole, data, sizeof whole);

  checkReadsBack(rrscope::text::wholeNumberText(whole), static_cast<double>(whole));
  if (!std::isfinite(value)) return 0;
  const double expected = roundedTo15Digits(value);
  checkReadsBack(rrscope::text::signedNumberText(value), expected);
  checkReadsBack(rrscope::text::localeNumberText(value, "."), expected);
  return 0;
}
