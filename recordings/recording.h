#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rrscope::recordings {

// A sampling rate as an exact fraction, so that sample positions convert
// between rates without drift over a day-long recording.
struct SamplingRate {
  std::int64_t numerator = 0;
  std::int64_t denominator = 1;

  double hertz() const { return static_cast<double>(numerator) / static_cast<double>(denominator); }
};

// Reduces a fraction; the denominator must be positive.
SamplingRate reducedRate(std::int64_t numerator, std::int64_t denominator);

// A run of samples [first, end) by index.
struct SampleRun {
  std::size_t first = 0;
  std::size_t end = 0;
};

// One channel of a recording. The values are the converter's, 4 bytes per
// sample: a day at 360 samples per second fits in 125 MB, and the physical
// value of a sample comes out in double precision exactly as the header
// defines it, (value - baseline) / gain.
struct Recording {
  std::string file;
  std::string channel;  // the channel's label as the file gives it
  std::string units;    // of the physical values, "mV" for ECG leads in millivolts
  SamplingRate rate;
  std::vector<std::int32_t> values;
  double gain = 1.0;  // converter steps per physical unit
  double baseline = 0.0;
  // Samples the file marks as having no value (the format's invalid value,
  // or the gaps between the segments of a record), increasing and
  // disjoint. Their `values` are interpolated between the valid samples
  // around them, for outputs that need a value on every line; the analysis
  // treats them as unreadable.
  std::vector<SampleRun> invalid;
  // What the reader had to overlook in the file, one sentence each, such
  // as header fields that break the letter of the format.
  std::vector<std::string> warnings;

  double physical(std::size_t index) const {
    return (static_cast<double>(values[index]) - baseline) / gain;
  }
  std::size_t sampleCount() const { return values.size(); }
  double durationSeconds() const { return static_cast<double>(values.size()) / rate.hertz(); }
};

// The largest physical value a recording may hold, in its units: far
// beyond any body's signal, and small enough that every export writes it
// exactly (thousandths in 64 bits reach 9.2e15). A header whose gain or
// baseline allows more (a gain of 1e-15, a baseline of 9e18) is refused.
inline constexpr double kLargestPhysicalValue = 1e15;

// Every sample in physical units; for small recordings and tests.
std::vector<double> physicalSamples(const Recording& recording);

}  // namespace rrscope::recordings
