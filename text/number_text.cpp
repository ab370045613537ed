#include "text/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace rrscope::text {
namespace {

constexpr int kSignificantDigits = 15;

// A magnitude rounded to 15 significant digits: digits d1 d2 ... (trailing
// zeros removed) standing for d1.d2... × 10^exponent.
struct Significant {
  std::string digits;
  int exponent = 0;
};

Significant roundToSignificant(double magnitude) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                    std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const std::size_t e = text.find('e');
  Significant s;
  for (const char c : text.substr(0, e)) {
    if (c != '.') s.digits.push_back(c);
  }
  while (s.digits.size() > 1 && s.digits.back() == '0') s.digits.pop_back();
  s.exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
  return s;
}

// Plain positional form while it takes at most 15 digit places: up to 15
// whole digits, or below 1 the zeros after the point and the significant
// digits together. Otherwise the exponent form, as in 1.66666666666667E-04.
bool fitsPlainForm(const Significant& s) {
  if (s.exponent >= 0) return s.exponent < kSignificantDigits;
  return -s.exponent - 1 + static_cast<int>(s.digits.size()) <= kSignificantDigits;
}

std::string exponentForm(const Significant& s, std::string_view separator) {
  std::string text(1, s.digits.front());
  if (s.digits.size() > 1) {
    text += separator;
    text += s.digits.substr(1);
  }
  text += s.exponent < 0 ? "E-" : "E+";
  const int magnitude = std::abs(s.exponent);
  if (magnitude < 10) text += '0';
  text += std::to_string(magnitude);
  return text;
}

std::string plainForm(const Significant& s, std::string_view separator, bool zeroBeforePoint) {
  if (s.exponent >= 0) {
    const auto whole = static_cast<std::size_t>(s.exponent) + 1;
    std::string text = s.digits.substr(0, whole);
    if (text.size() < whole) text.append(whole - text.size(), '0');
    if (s.digits.size() > whole) {
      text += separator;
      text += s.digits.substr(whole);
    }
    return text;
  }
  std::string text = zeroBeforePoint ? "0" : "";
  text += separator;
  text.append(static_cast<std::size_t>(-s.exponent - 1), '0');
  text += s.digits;
  return text;
}

std::string magnitudeText(double value, std::string_view separator, bool zeroBeforePoint) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return "Inf";
  if (value == 0) return "0";
  const Significant s = roundToSignificant(std::fabs(value));
  return fitsPlainForm(s) ? plainForm(s, separator, zeroBeforePoint) : exponentForm(s, separator);
}

}  // namespace

std::string signedNumberText(double value) {
  std::string text(1, value < 0 ? '-' : ' ');
  text += magnitudeText(value, ".", false);
  return text;
}

std::string wholeNumberText(std::int64_t value) {
  return std::to_string(value);
}

std::string localeNumberText(double value, std::string_view decimalSeparator) {
  std::string text = value < 0 ? "-" : "";
  text += magnitudeText(value, decimalSeparator, true);
  return text;
}

std::string reportNumberText(double value, int decimals) {
  char buffer[512];  // the 309 digits of the largest double and the decimals
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace rrscope::text
