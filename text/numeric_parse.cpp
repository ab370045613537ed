#include "text/numeric_parse.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <string>

namespace rrscope::text {
namespace {

bool isSkipped(char c) {
  return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isOctalDigit(char c) {
  return c >= '0' && c <= '7';
}

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

  // The run of characters from here on that `belongs` accepts, read in one
  // go and left in the text, so that even a line of a billion digits is
  // neither copied nor walked one skip at a time.
  template <class Predicate>
  std::string_view takeRun(Predicate belongs) {
    const char* const begin = text_.data() + pos_;
    const char* const end = text_.data() + text_.size();
    const char* p = begin;
    while (p != end && belongs(*p)) ++p;
    pos_ += static_cast<std::size_t>(p - begin);
    skipBlanks();
    return {begin, static_cast<std::size_t>(p - begin)};
  }

 private:
  void skipBlanks() {
    while (pos_ < text_.size() && isSkipped(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

// The number of "0" at the start of `digits`.
std::size_t leadingZeros(std::string_view digits) {
  const char* p = digits.data();
  const char* const end = p + digits.size();
  while (p != end && *p == '0') ++p;
  return static_cast<std::size_t>(p - digits.data());
}

// The leading significant digits of a number, as many as can decide which
// double lies nearest: the value is 0.DIGITS times BASE to the power
// `exponent`, where a dropped digit other than 0 is kept as a trailing 1,
// which can only break a tie that the dropped digits would also break.
// Positions are counted in 64 bits, however long the text.
template <std::size_t kKept>
class SignificantDigits {
 public:
  bool any() const { return count_ > 0; }
  std::string_view digits() const { return {kept_.data(), count_}; }
  bool droppedNonZero() const { return droppedNonZero_; }
  std::int64_t exponent() const { return exponent_; }
  // More digits than kept, with no room for the sticky one.
  bool overflowed() const { return dropped_; }

  // Adds digits before the point, or after it with `fraction`.
  void add(std::string_view run, bool fraction) {
    if (count_ == 0) {
      const std::size_t zeros = leadingZeros(run);
      if (fraction) exponent_ -= static_cast<std::int64_t>(zeros);
      run.remove_prefix(zeros);
      if (run.empty()) return;
    }
    if (!fraction) exponent_ += static_cast<std::int64_t>(run.size());
    const std::size_t taken = std::min(run.size(), kKept - count_);
    std::copy_n(run.data(), taken, kept_.data() + count_);
    count_ += taken;
    if (taken < run.size()) {
      dropped_ = true;
      const std::string_view rest = run.substr(taken);
      if (!droppedNonZero_ && leadingZeros(rest) < rest.size()) droppedNonZero_ = true;
    }
  }

 private:
  std::array<char, kKept> kept_{};
  std::size_t count_ = 0;
  bool dropped_ = false;
  bool droppedNonZero_ = false;
  std::int64_t exponent_ = 0;
};

// A double has at most 767 significant decimal digits between two
// neighbours; one more digit and the sticky one decide every tie.
constexpr std::size_t kDecimalDigitsKept = 800;
// Beyond these decimal exponents of 0.DIGITS every value overflows or
// rounds to zero, and the exponent need not be read further.
constexpr std::int64_t kOverflowExponent = 310;    // 0.1e310 > 1.8e308
constexpr std::int64_t kVanishingExponent = -330;  // 0.99e-330 < 2.4e-324
constexpr std::int64_t kExponentCap = 1'000'000'000'000;

// The exponent after "e", with its sign, capped far beyond any that matters.
std::int64_t readExponentDigits(Cursor& cursor, bool& found) {
  bool negative = false;
  if (cursor.peek() == '+' || cursor.peek() == '-') {
    negative = cursor.peek() == '-';
    cursor.advance();
  }
  std::int64_t exponent = 0;
  while (isDigit(cursor.peek())) {
    found = true;
    for (const char c : cursor.takeRun(isDigit)) {
      exponent = std::min(exponent * 10 + (c - '0'), kExponentCap);
    }
  }
  return negative ? -exponent : exponent;
}

// The exponent part, when one follows: "1e" and "1e+" read as 1, so the
// cursor goes back when no digit comes.
std::int64_t readExponent(Cursor& cursor) {
  if (cursor.peek() != 'e' && cursor.peek() != 'E') return 0;
  const std::size_t beforeExponent = cursor.position();
  cursor.advance();
  bool found = false;
  const std::int64_t exponent = readExponentDigits(cursor, found);
  if (!found) cursor.reset(beforeExponent);
  return exponent;
}

// The nearest double to 0.DIGITS (a trailing 1 when a dropped digit was
// not 0) times ten to `exponent`, through from_chars on that short text.
std::optional<double> nearestDouble(const SignificantDigits<kDecimalDigitsKept>& number,
                                    std::int64_t exponent) {
  std::array<char, kDecimalDigitsKept + 32> text{};
  char* out = text.data();
  *out++ = '0';
  *out++ = '.';
  out = std::copy(number.digits().begin(), number.digits().end(), out);
  if (number.droppedNonZero()) *out++ = '1';
  *out++ = 'e';
  out = std::to_chars(out, text.data() + text.size(), exponent).ptr;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), out, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    if (exponent > 0) return std::nullopt;
    return 0.0;
  }
  return value;
}

std::optional<double> parseDecimal(Cursor& cursor, bool negative) {
  SignificantDigits<kDecimalDigitsKept> number;
  bool anyDigit = false;
  bool point = false;
  for (;;) {
    const char c = cursor.peek();
    if (isDigit(c)) {
      anyDigit = true;
      number.add(cursor.takeRun(isDigit), point);
    } else if (c == '.' && !point) {
      point = true;
      cursor.advance();
    } else {
      break;
    }
  }
  if (!anyDigit) return 0.0;
  const std::int64_t exponent = number.exponent() + readExponent(cursor);
  std::optional<double> value = 0.0;
  if (number.any()) {
    if (exponent > kOverflowExponent) return std::nullopt;
    if (exponent >= kVanishingExponent) value = nearestDouble(number, exponent);
  }
  if (!value) return std::nullopt;
  return negative ? -*value : *value;
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

// The largest double lies below 2^1024: 257 significant hexadecimal or 343
// octal digits always overflow, so no more need be kept.
constexpr std::size_t kRadixDigitsKept = 343;

std::optional<double> parseRadix(Cursor& cursor, bool hexadecimal) {
  SignificantDigits<kRadixDigitsKept> number;
  const auto belongs = hexadecimal ? isHexDigit : isOctalDigit;
  while (belongs(cursor.peek())) number.add(cursor.takeRun(belongs), false);
  if (!number.any()) return 0.0;
  if (number.overflowed() || (hexadecimal && number.digits().size() > 256)) return std::nullopt;
  const std::string digits =
      hexadecimal ? std::string(number.digits()) : octalToHex(number.digits());
  double value = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::hex);
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
