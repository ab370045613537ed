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

}  // namespace rrscope::beats
