#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "analysis/large_allocation.h"

namespace rrscope {

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

  SampleLines() = default;

  // Takes over `size` bytes of a file. Throws a subscript-out-of-range
  // RunError when they hold more than kCapacity lines.
  SampleLines(LargeArray<char> bytes, std::size_t size);

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

}  // namespace rrscope
