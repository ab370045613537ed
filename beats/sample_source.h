#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

namespace rrscope::beats {

// The samples of one ECG lead, read a block at a time. A recording held as
// text need not be turned into a second full-size array of numbers: the
// detector reads each sample once to reduce the rate and then only short
// stretches around the beats it found.
class SampleSource {
 public:
  virtual ~SampleSource() = default;
  virtual std::int64_t size() const = 0;
  // Fills `out` with the samples from index `first` (0-based) on; the caller
  // keeps the stretch inside 0 to size().
  virtual void read(std::int64_t first, std::span<double> out) const = 0;
};

// Samples that are already numbers in memory.
class SpanSamples final : public SampleSource {
 public:
  explicit SpanSamples(std::span<const double> samples) : samples_(samples) {}
  std::int64_t size() const override { return static_cast<std::int64_t>(samples_.size()); }
  void read(std::int64_t first, std::span<double> out) const override {
    const auto begin = samples_.begin() + first;
    std::copy(begin, begin + static_cast<std::ptrdiff_t>(out.size()), out.begin());
  }

 private:
  std::span<const double> samples_;
};

// The samples of another source from `first` on, as a lead of their own.
class SampleWindow final : public SampleSource {
 public:
  SampleWindow(const SampleSource& samples, std::int64_t first, std::int64_t size)
      : samples_(samples), first_(first), size_(size) {}
  std::int64_t size() const override { return size_; }
  void read(std::int64_t first, std::span<double> out) const override {
    samples_.read(first_ + first, out);
  }

 private:
  const SampleSource& samples_;
  std::int64_t first_;
  std::int64_t size_;
};

}  // namespace rrscope::beats
