#pragma once

#include <cstdint>
#include <string_view>

namespace rrscope::text {

// Why a text is not the number a strict conversion asks for.
enum class StrictFailure {
  none,
  notANumber,  // the text is not exactly one number: a type mismatch
  outOfRange,  // a number, but too large for its target: an overflow
};

// The strict reading of a text that must be a number as a whole, unlike the
// numeric parse, which reads what it can and gives 0 for the rest.
//
// Blanks (spaces and tabs) may stand before and after the number, nowhere
// else. The number is an optional sign, digits with an optional decimal point
// "." and at least one digit in all ("2." and ".5" count), then an optional
// exponent: "e" or "E", an optional sign and at least one digit. Anything
// else, the empty text included, is notANumber; a number beyond the range of
// doubles is outOfRange.
struct StrictNumber {
  double value = 0;
  StrictFailure failure = StrictFailure::none;
};
StrictNumber strictNumber(std::string_view text);

// The whole part of a strictly read number, rounded towards minus infinity,
// as a 16-bit signed integer; outOfRange outside -32768 to 32767.
struct StrictShort {
  std::int16_t value = 0;
  StrictFailure failure = StrictFailure::none;
};
StrictShort strictWholeShort(std::string_view text);

}  // namespace rrscope::text
