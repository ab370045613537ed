// The strict number on any text, against strtod: a text is one strict
// number exactly when, without blanks at its ends, it uses only digits,
// signs, points and exponent letters and strtod reads all of it; the value
// is then strtod's, and only numbers beyond the doubles are out of range.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_check.h"
#include "text/strict_number.h"

namespace {

std::string_view withoutEndBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using rrscope::text::StrictFailure;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const rrscope::text::StrictNumber number = rrscope::text::strictNumber(text);
  const rrscope::text::StrictShort whole = rrscope::text::strictWholeShort(text);

  const std::string core(withoutEndBlanks(text));
  errno = 0;
  char* end = nullptr;
  const double expected = std::strtod(core.c_str(), &end);
  const bool isNumber = !core.empty() &&
                        core.find_first_not_of("0123456789+-.eE") == std::string::npos &&
                        end == core.c_str() + core.size();
  FUZZ_CHECK(isNumber == (number.failure != StrictFailure::notANumber), text);
  if (!isNumber) return 0;

  const bool overflow = errno == ERANGE && std::isinf(expected);
  FUZZ_CHECK(overflow == (number.failure == StrictFailure::outOfRange), text);
  if (overflow) return 0;
  FUZZ_CHECK(std::memcmp(&number.value, &expected, sizeof expected) == 0, text);

  const double floor = std::floor(expected);
  if (floor >= -32768 && floor <= 32767) {
    FUZZ_CHECK(whole.failure == StrictFailure::none && whole.value == floor, text);
  } else {
    FUZZ_CHECK(whole.failure == StrictFailure::outOfRange, text);
  }
  return 0;
}
