#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "analysis/large_allocation.h"

namespace rrscope::analysis {

// Where each line of a file begins, 32 bits a line. Files beyond 4 GiB are
// rare, so instead of widening every entry the table keeps the few lines at
// which the high part of the offset grows.
class LineStarts {
 public:
  explicit LineStarts(unsigned lowBits = 32) : lowBits_(lowBits) {}

  void reserve(std::size_t count) { low_.reserve(count); }
  void push(std::uint64_t start) {
    if ((start >> lowBits_) != wraps_.size()) pushWrapped(start);
    low_.push_back(static_cast<std::uint32_t>(start & lowMask()));
  }
  std::uint64_t operator[](std::size_t index) const {
    return wraps_.empty() ? low_[index] : wrappedAt(index);
  }
  std::size_t size() const { return low_.size(); }
  std::uint64_t back() const { return (*this)[size() - 1]; }

 private:
  std::uint64_t lowMask() const { return (std::uint64_t{1} << lowBits_) - 1; }
  void pushWrapped(std::uint64_t start);
  std::uint64_t wrappedAt(std::size_t index) const;

  std::vector<std::uint32_t, LargeAllocator<std::uint32_t>> low_;
  std::vector<std::size_t> wraps_;  // indices at which the high part grows by one
  unsigned lowBits_;
};

// The lines of the loaded sample file, kept as the file's bytes in one buffer
// plus where each line begins. LF, CRLF and a lone CR each end a line; a line
// break at the very end of the file adds no empty line.
class SampleLines {
 public:
  // The largest number of lines a file may have.
  static constexpr std::int64_t kCapacity = 10'000'000;
  // The longest line a file may have, in bytes without its line break: far
  // beyond any sample, yet small enough that input which never breaks its
  // lines is refused after reading this much.
  static constexpr std::size_t kLongestLine = std::size_t{64} << 20;

  SampleLines() = default;

  // Copies a text; for building small sample sets.
  static SampleLines fromText(std::string_view text);

  std::int64_t lineCount() const { return static_cast<std::int64_t>(starts_.size()) - 1; }

  // Line `position` (from 1) without its line break; empty text above the
  // last line. The caller keeps `position` within 1 to kCapacity.
  std::string_view line(std::int64_t position) const {
    if (position > lineCount()) return {};
    return lineAt(static_cast<std::size_t>(position));
  }

 private:
  friend class SampleLinesBuilder;

  std::string_view lineAt(std::size_t position) const {
    const std::uint64_t begin = starts_[position - 1];
    std::uint64_t end = starts_[position];
    const char* data = bytes_.get();
    if (end > begin && data[end - 1] == '\n') --end;
    if (end > begin && data[end - 1] == '\r') --end;
    return {data + begin, static_cast<std::size_t>(end - begin)};
  }

  LargeArray<char> bytes_;
  std::size_t size_ = 0;
  LineStarts starts_;  // line i begins at starts_[i - 1]; the last entry ends the last line
};

// Builds the lines of a file while its bytes arrive, so that reading can
// stop as soon as the bytes can no longer be a sample file: more than
// kCapacity lines, or a line longer than kLongestLine, throws a RunError at
// once.
class SampleLinesBuilder {
 public:
  // `expectedSize` is a guess, such as the size of a regular file.
  explicit SampleLinesBuilder(std::size_t expectedSize);

  // Room for at most `most` further bytes, at least one; grows the buffer
  // when it is full.
  std::span<char> space(std::size_t most);
  // Takes `count` bytes written at the start of the last space.
  void added(std::size_t count);
  // The lines of every byte added.
  SampleLines finish() &&;

 private:
  void grow();
  void scan(std::size_t end, bool final);
  void onBreak(std::size_t pos);
  void checkLength(std::size_t end) const;

  SampleLines lines_;
  std::size_t capacity_ = 0;
  std::size_t scanned_ = 0;      // bytes whose line breaks are recorded
  std::uint64_t lineStart_ = 0;  // where the unfinished line begins
};

}  // namespace rrscope::analysis
