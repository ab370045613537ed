#include "text/numeric_parse.h"

#include <charconv>
#include <cstdint>
#include <string>

namespace rrscope::text {
namespace {

bool isSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

// Walks over a text, passing over the characters that the parse skips.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) { skipBlanks(); }

  bool atEnd() const { return pos_ == text_.size(); }
  char peek() const { return atEnd() ? '\0' : text_[pos_]; }
  void advance() {
    ++pos_;
    skipBlanks();
  }
  std::size_t position() const { return pos_; }
  void reset(std::size_t pos) { pos_ = pos; }

 private:
  void skipBlanks() {
    while (pos_ < text_.size() && isSkipped(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

// The parts of a decimal number with the skipped characters removed.
struct Decimal {
  std::string digits;         // mantissa digits, the decimal point left out
  std::int64_t fraction = 0;  // how many of the digits follow the point
  std::string exponent;       // exponent digits with an optional sign, may be empty
};

// Decides for a number that from_chars could not represent whether it is too
// large (an overflow) or too small (it reads as 0).
bool isTooLarge(const Decimal& number) {
  const std::size_t firstNonZero = number.digits.find_first_not_of('0');
  if (firstNonZero == std::string::npos) return false;
  std::int64_t exponent = 0;
  bool negative = false;
  for (const char c : number.exponent) {
    if (c == '-') negative = true;
    if (isDigit(c) && exponent < 1'000'000'000) exponent = exponent * 10 + (c - '0');
  }
  if (negative) exponent = -exponent;
  // Decimal exponent of the leading significant digit.
  const auto integerDigits = static_cast<std::int64_t>(number.digits.size()) - number.fraction;
  const std::int64_t leading = integerDigits - static_cast<std::int64_t>(firstNonZero) - 1;
  return leading + exponent >= 0;
}

std::optional<double> parseDecimal(Cursor& cursor, bool negative) {
  Decimal number;
  bool point = false;
  for (;; cursor.advance()) {
    const char c = cursor.peek();
    if (isDigit(c)) {
      number.digits.push_back(c);
      if (point) ++number.fraction;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (number.digits.empty()) return 0.0;

  if (cursor.peek() == 'e' || cursor.peek() == 'E') {
    const std::size_t beforeExponent = cursor.position();
    cursor.advance();
    std::string exponent;
    if (cursor.peek() == '+' || cursor.peek() == '-') {
      exponent.push_back(cursor.peek());
      cursor.advance();
    }
    const std::size_t signLength = exponent.size();
    while (isDigit(cursor.peek())) {
      exponent.push_back(cursor.peek());
      cursor.advance();
    }
    // An exponent needs a digit: "1e" and "1e+" read as 1.
    if (exponent.size() > signLength) {
      number.exponent = std::move(exponent);
    } else {
      cursor.reset(beforeExponent);
    }
  }

  std::string text = number.digits;
  if (number.fraction > 0) text.insert(text.size() - number.fraction, 1, '.');
  if (!number.exponent.empty()) text += 'e' + number.exponent;

  double value = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    if (isTooLarge(number)) return std::nullopt;
    value = 0;
  } else if (error != std::errc() || end != text.data() + text.size()) {
    value = 0;  // cannot happen: the text was checked above
  }
  return negative ? -value : value;
}

// Octal digits regrouped into hexadecimal ones, so that from_chars rounds the
// whole number correctly however long it is.
std::string octalToHex(std::string_view octal) {
  std::string hex;
  unsigned bits = 0;
  int bitCount = 0;
  for (auto it = octal.rbegin(); it != octal.rend(); ++it) {
    bits |= static_cast<unsigned>(*it - '0') << bitCount;
    bitCount += 3;
    while (bitCount >= 4) {
      hex.insert(hex.begin(), "0123456789abcdef"[bits & 0xF]);
      bits >>= 4;
      bitCount -= 4;
    }
  }
  if (bitCount > 0) hex.insert(hex.begin(), "0123456789abcdef"[bits & 0xF]);
  return hex;
}

std::optional<double> parseRadix(Cursor& cursor, bool hexadecimal) {
  std::string digits;
  while (hexadecimal ? isHexDigit(cursor.peek()) : isOctalDigit(cursor.peek())) {
    digits.push_back(cursor.peek());
    cursor.advance();
  }
  if (digits.empty()) return 0.0;
  if (!hexadecimal) digits = octalToHex(digits);
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                            std::chars_format::hex);
  if (error == std::errc::result_out_of_range) return std::nullopt;
  return value;
}

}  // namespace

namespace detail {

std::optional<double> numericParseGeneral(std::string_view text) {
  Cursor cursor(text);
  if (cursor.peek() == '&') {
    cursor.advance();
    const char kind = cursor.peek();
    if (kind == 'h' || kind == 'H' || kind == 'o' || kind == 'O') {
      cursor.advance();
      return parseRadix(cursor, kind == 'h' || kind == 'H');
    }
    return 0.0;
  }
  bool negative = false;
  if (cursor.peek() == '+' || cursor.peek() == '-') {
    negative = cursor.peek() == '-';
    cursor.advance();
  }
  return parseDecimal(cursor, negative);
}

}  // namespace detail
}  // namespace rrscope::text
