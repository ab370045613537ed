#include "analysis/sample_lines.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "analysis/run_error.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rrscope {

void LineStarts::pushWrapped(std::uint64_t start) {
  while (wraps_.size() < (start >> lowBits_)) wraps_.push_back(low_.size());
}

std::uint64_t LineStarts::wrappedAt(std::size_t index) const {
  const auto high = static_cast<std::uint64_t>(
      std::upper_bound(wraps_.begin(), wraps_.end(), index) - wraps_.begin());
  return (high << lowBits_) | low_[index];
}

namespace {

[[noreturn]] void throwTooManyLines() {
  throw RunError({.cause = ErrorCause::tooManyLines, .limit = SampleLines::kCapacity});
}

// Records where every line after the first begins. A CR directly followed by
// LF is one break, so only the LF records.
class BreakScanner {
 public:
  BreakScanner(const char* data, std::size_t size, LineStarts& starts)
      : data_(data), size_(size), starts_(starts) {}

  void scan() {
    std::size_t pos = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; pos + 16 <= size_; pos += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data_ + pos));
      auto mask = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, lf), _mm_cmpeq_epi8(chunk, cr))));
      while (mask != 0) {
        onBreak(pos + static_cast<std::size_t>(__builtin_ctz(mask)));
        mask &= mask - 1;
      }
    }
#endif
    for (; pos < size_; ++pos) {
      if (data_[pos] == '\n' || data_[pos] == '\r') onBreak(pos);
    }
  }

 private:
  void onBreak(std::size_t pos) {
    if (data_[pos] == '\r' && pos + 1 < size_ && data_[pos + 1] == '\n') return;
    // One more start than capacity is the end of the last line; beyond that
    // the file has a line too many.
    if (starts_.size() > static_cast<std::size_t>(SampleLines::kCapacity)) throwTooManyLines();
    starts_.push(pos + 1);
  }

  const char* data_;
  std::size_t size_;
  LineStarts& starts_;
};

}  // namespace

SampleLines::SampleLines(LargeArray<char> bytes, std::size_t size)
    : bytes_(std::move(bytes)), size_(size) {
  // Sample lines are short; a guess from the size saves most regrowing.
  starts_.reserve(std::min<std::size_t>(size / 6 + 2, kCapacity + 1));
  starts_.push(0);
  BreakScanner(bytes_.get(), size_, starts_).scan();
  if (starts_.back() != size_) {
    if (starts_.size() > static_cast<std::size_t>(kCapacity)) throwTooManyLines();
    starts_.push(size_);
  }
}

SampleLines SampleLines::fromText(std::string_view text) {
  auto bytes = makeLargeArray<char>(text.size());
  std::memcpy(bytes.get(), text.data(), text.size());
  return SampleLines(std::move(bytes), text.size());
}

}  // namespace rrscope
