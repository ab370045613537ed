#include "pipeline/readable_series.h"

#include <algorithm>

#include "pipeline/sample_stretches.h"

namespace rrscope::pipeline {
namespace {

// The first stretch that ends at or after `position`.
const beats::SampleStretch* firstEndingFrom(std::span<const beats::SampleStretch> stretches,
                                            double position) {
  const auto it = std::ranges::lower_bound(stretches, position, {}, &beats::SampleStretch::end);
  return it == stretches.end() ? nullptr : &*it;
}

bool touches(std::span<const beats::SampleStretch> stretches, double from, double to) {
  const beats::SampleStretch* s = firstEndingFrom(stretches, from);
  return s != nullptr && s->begin <= to;
}

}  // namespace

ReadableSeries readableSeries(std::span<const double> beats,
                              std::span<const beats::SampleStretch> unreadable, double rate) {
  ReadableSeries series;
  for (const double beat : beats) {
    if (insideStretches(unreadable, beat)) ++series.excludedBeats;
  }
  for (std::size_t i = 1; i < beats.size(); ++i) {
    if (touches(unreadable, beats[i - 1], beats[i])) {
      ++series.excludedIntervals;
    } else {
      series.intervalsMs.push_back((beats[i] - beats[i - 1]) * 1000.0 / rate);
      series.ends.push_back(i);
    }
  }
  return series;
}

}  // namespace rrscope::pipeline
