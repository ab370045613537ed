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

// One channel of a recording, in physical units. The samples are kept as
// float: a day at 360 samples per second then takes 4 bytes per sample, and
// float's 24-bit mantissa holds every value of a 16- or 24-bit converter.
struct Recording {
  std::string file;
  std::string channel;  // the channel's label as the file gives it
  std::string units;    // of the samples, "mV" for ECG leads in millivolts
  SamplingRate rate;
  std::vector<float> samples;

  std::size_t sampleCount() const { return samples.size(); }
  double durationSeconds() const { return static_cast<double>(samples.size()) / rate.hertz(); }
};

}  // namespace rrscope::recordings
