#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace rrscope::text {

// Reads the number at the start of a parameter text, a sample line or a caption.
//
// Blanks, tabs and line feeds are skipped wherever they stand. Then comes an
// optional sign, digits with at most one decimal point "." and an optional
// exponent ("E" or "e", an optional sign and at least one digit), read up to
// the first character that cannot continue the number. "&H" and "&O" (either
// case) introduce an unsigned hexadecimal or octal whole number. A text that
// does not begin with a number reads as 0; a comma is never a decimal point,
// so "1,5" reads as 1. The result is the double nearest to the decimal value;
// a value too small for a double reads as 0 or the nearest subnormal.
//
// Returns std::nullopt when the number lies beyond the range of doubles: the
// caller reports that as an overflow.
inline std::optional<double> numericParse(std::string_view text);

namespace detail {

// Every form the parse knows, out of line.
std::optional<double> numericParseGeneral(std::string_view text);

// Sample lines are short plain decimals ("-0.145"), so they are read inline
// and without allocating: a mantissa of at most 15 digits divided by an exact
// power of ten is one correctly rounded operation. Anything else, and
// anything that might continue the number, is left to the general parse.
inline std::optional<double> parseShortDecimal(std::string_view text) {
  static constexpr std::array<double, 16> kExactPowersOfTen = {
      1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = text.data();
  const char* const end = p + text.size();
  bool negative = false;
  if (p != end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  std::uint64_t mantissa = 0;
  int digits = 0;
  int fraction = -1;  // digits after the point, once there is one
  // Gives up at the 16th digit, so the count stays small however long the
  // line.
  for (; p != end && digits <= 15; ++p) {
    const auto digit = static_cast<unsigned>(*p - '0');
    if (digit < 10) {
      mantissa = mantissa * 10 + digit;
      ++digits;
    } else if (*p == '.' && fraction < 0) {
      fraction = digits;
    } else {
      break;
    }
  }
  if (digits == 0 || digits > 15) return std::nullopt;
  if (p != end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == 'e' || *p == 'E' || *p == '.')) {
    return std::nullopt;
  }
  const int scale = fraction < 0 ? 0 : digits - fraction;
  const double value = static_cast<double>(mantissa) / kExactPowersOfTen[scale];
  return negative ? -value : value;
}

}  // namespace detail

inline std::optional<double> numericParse(std::string_view text) {
  if (auto value = detail::parseShortDecimal(text)) return value;
  return detail::numericParseGeneral(text);
}

}  // namespace rrscope::text
