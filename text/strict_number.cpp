#include "text/strict_number.h"

#include <cmath>
#include <limits>

#include "text/numeric_parse.h"

namespace rrscope::text {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Passes over a run of digits and tells how many there were.
std::size_t skipDigits(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  while (pos < text.size() && isDigit(text[pos])) ++pos;
  return pos - start;
}

// True when the whole of `text` is one number of the strict form.
bool isStrictNumber(std::string_view text) {
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  std::size_t digits = skipDigits(text, pos);
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    digits += skipDigits(text, pos);
  }
  if (digits == 0) return false;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    if (skipDigits(text, pos) == 0) return false;
  }
  return pos == text.size();
}

}  // namespace

StrictNumber strictNumber(std::string_view text) {
  const std::string_view number = trimBlanks(text);
  if (!isStrictNumber(number)) return {0, StrictFailure::notANumber};
  // The strict form is a subset of what the numeric parse reads, so the
  // parse gives the correctly rounded value and tells an overflow apart
  // from a number that is merely too small (which reads as 0).
  const auto value = numericParse(number);
  if (!value) return {0, StrictFailure::outOfRange};
  return {*value, StrictFailure::none};
}

StrictShort strictWholeShort(std::string_view text) {
  const StrictNumber number = strictNumber(text);
  if (number.failure != StrictFailure::none) return {0, number.failure};
  const double whole = std::floor(number.value);
  if (whole < std::numeric_limits<std::int16_t>::min() ||
      whole > std::numeric_limits<std::int16_t>::max()) {
    return {0, StrictFailure::outOfRange};
  }
  return {static_cast<std::int16_t>(whole), StrictFailure::none};
}

}  // namespace rrscope::text
