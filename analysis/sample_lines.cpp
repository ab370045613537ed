#include "analysis/sample_lines.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "analysis/run_error.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rrscope::analysis {

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

[[noreturn]] void throwLineTooLong(std::size_t line) {
  throw RunError({.cause = ErrorCause::lineTooLong,
                  .line = static_cast<std::int64_t>(line),
                  .limit = static_cast<std::int64_t>(SampleLines::kLongestLine)});
}

// Calls `onBreak` with the position of every line break in [begin, end):
// each LF and each CR that no LF follows within the range.
template <class OnBreak>
void forEachBreak(const char* data, std::size_t begin, std::size_t end, OnBreak onBreak) {
  const auto report = [&](std::size_t pos) {
    if (data[pos] == '\r' && pos + 1 < end && data[pos + 1] == '\n') return;
    onBreak(pos);
  };
  std::size_t pos = begin;
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i cr = _mm_set1_epi8('\r');
  for (; pos + 16 <= end; pos += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    auto mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, lf), _mm_cmpeq_epi8(chunk, cr))));
    while (mask != 0) {
      report(pos + static_cast<std::size_t>(__builtin_ctz(mask)));
      mask &= mask - 1;
    }
  }
#endif
  for (; pos < end; ++pos) {
    if (data[pos] == '\n' || data[pos] == '\r') report(pos);
  }
}

// The first block of a file that reports no size, and the most that the
// size of a regular file reserves at once; a longer file grows as it is read.
constexpr std::size_t kFirstBlock = std::size_t{16} << 20;
constexpr std::size_t kLargestReservation = std::size_t{256} << 20;

}  // namespace

SampleLinesBuilder::SampleLinesBuilder(std::size_t expectedSize)
    // One byte more than expected lets the read that finds the end go
    // without growing the buffer.
    : capacity_(std::min(expectedSize, kLargestReservation) + 1) {
  lines_.bytes_ = makeLargeArray<char>(capacity_);
  // Sample lines are short; a guess from the size saves most regrowing.
  lines_.starts_.reserve(std::min<std::size_t>(capacity_ / 6 + 2, SampleLines::kCapacity + 1));
  lines_.starts_.push(0);
}

void SampleLinesBuilder::grow() {
  const std::size_t grown = capacity_ + std::max(capacity_, kFirstBlock);
  auto larger = makeLargeArray<char>(grown);
  std::memcpy(larger.get(), lines_.bytes_.get(), lines_.size_);
  lines_.bytes_ = std::move(larger);
  capacity_ = grown;
}

std::span<char> SampleLinesBuilder::space(std::size_t most) {
  if (lines_.size_ == capacity_) grow();
  return {lines_.bytes_.get() + lines_.size_, std::min(capacity_ - lines_.size_, most)};
}

void SampleLinesBuilder::added(std::size_t count) {
  lines_.size_ += count;
  // A CR at the end may yet be followed by the LF of the same break.
  const bool endsInCR = lines_.size_ > 0 && lines_.bytes_[lines_.size_ - 1] == '\r';
  scan(endsInCR ? lines_.size_ - 1 : lines_.size_, false);
}

SampleLines SampleLinesBuilder::finish() && {
  scan(lines_.size_, true);
  if (lineStart_ != lines_.size_) {
    if (lines_.starts_.size() > static_cast<std::size_t>(SampleLines::kCapacity)) {
      throwTooManyLines();
    }
    lines_.starts_.push(lines_.size_);
  }
  return std::move(lines_);
}

void SampleLinesBuilder::scan(std::size_t end, bool final) {
  if (end > scanned_) {
    forEachBreak(lines_.bytes_.get(), scanned_, end, [this](std::size_t pos) { onBreak(pos); });
    scanned_ = end;
  }
  // The unfinished line, once it has grown too long, or the last line.
  checkLength(final ? lines_.size_ : end);
}

void SampleLinesBuilder::onBreak(std::size_t pos) {
  std::size_t end = pos;
  if (lines_.bytes_[pos] == '\n' && pos > lineStart_ && lines_.bytes_[pos - 1] == '\r') --end;
  checkLength(end);
  // One more start than capacity is the end of the last line; beyond that
  // the file has a line too many.
  if (lines_.starts_.size() > static_cast<std::size_t>(SampleLines::kCapacity)) {
    throwTooManyLines();
  }
  lineStart_ = pos + 1;
  lines_.starts_.push(lineStart_);
}

void SampleLinesBuilder::checkLength(std::size_t end) const {
  if (end - lineStart_ > SampleLines::kLongestLine) throwLineTooLong(lines_.starts_.size());
}

SampleLines SampleLines::fromText(std::string_view text) {
  SampleLinesBuilder builder(text.size());
  while (!text.empty()) {
    const std::span<char> space = builder.space(text.size());
    std::memcpy(space.data(), text.data(), space.size());
    builder.added(space.size());
    text.remove_prefix(space.size());
  }
  return std::move(builder).finish();
}

}  // namespace rrscope::analysis
