#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rrscope::text {

// The text of a number in captions, text boxes and chart labels: a blank
// before a number that is not negative and "-" before a negative one, at most
// 15 significant digits, "." as the decimal point whatever the locale, no
// trailing zeros, no bare point and no 0 before the point below 1.
// 0.5 gives " .5", 9 gives " 9", -0.01 gives "-.01".
std::string signedNumberText(double value);

// The decimal digits of a whole number, with "-" before a negative one.
std::string wholeNumberText(std::int64_t value);

// The text of the debug frame's values: at most 15 significant digits, the
// given decimal separator, a 0 before the separator below 1, "-" before a
// negative number and nothing before any other. 0.75 gives "0.75".
std::string localeNumberText(double value, std::string_view decimalSeparator);

// The text of a number in a report: rounded to `decimals` places after a "."
// point, a value that rounds to zero without a sign. -5.8e-15 with 2 places
// gives "0.00", 0.3 gives "0.30".
std::string reportNumberText(double value, int decimals);

}  // namespace rrscope::text
