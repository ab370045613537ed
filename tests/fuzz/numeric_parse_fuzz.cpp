// The numeric parse on any text: it never fails, and a plain decimal, the
// form that strtod reads too, reads as strtod reads it.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "text/numeric_parse.h"

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// An optional "-", digits with at most one point and at least one digit, and
// an optional exponent with a digit: nothing that the two parses treat
// differently, such as blanks, "+" signs, "&H" or "inf".
bool isPlainDecimal(std::string_view text) {
  std::size_t pos = 0;
  if (pos < text.size() && text[pos] == '-') ++pos;
  std::size_t digits = 0;
  bool point = false;
  for (; pos < text.size(); ++pos) {
    if (isDigit(text[pos])) {
      ++digits;
    } else if (text[pos] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (pos == text.size()) return true;
  if (text[pos] != 'e' && text[pos] != 'E') return false;
  ++pos;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) ++pos;
  const std::size_t exponentStart = pos;
  while (pos < text.size() && isDigit(text[pos])) ++pos;
  return pos > exponentStart && pos == text.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const auto value = rrscope::text::numericParse(text);
  if (!isPlainDecimal(text)) return 0;

  errno = 0;
  char* end = nullptr;
  const double expected = std::strtod(text.c_str(), &end);
  FUZZ_CHECK(end == text.c_str() + text.size(), text);
  if (errno == ERANGE && std::isinf(expected)) {
    FUZZ_CHECK(!value, text);
  } else {
    FUZZ_CHECK(value && std::memcmp(&*value, &expected, sizeof expected) == 0, text);
  }
  return 0;
}
