#pragma once

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
std::optional<double> numericParse(std::string_view text);

}  // namespace rrscope::text
