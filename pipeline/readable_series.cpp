#include "pipeline/readable_series.h"

#include <algorithm>
#include <optional>

#include "pipeline/sample_stretches.h"
#include "statistics/order_statistics.h"

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

bool normal(std::span<const beats::BeatClass> classes, std::size_t i) {
  return classes.empty() || classes[i] == beats::BeatClass::N;
}

// One interval of the series as first gathered: readable, and NN or not.
struct Interval {
  double ms = 0;
  std::size_t end = 0;
  bool nn = true;
};

// The median of up to kInterpolationNeighbours NN intervals on each side of
// `at`; none when there is no NN interval at all.
std::optional<double> neighbourMedian(std::span<const Interval> intervals,
                                      std::span<const std::size_t> nnAt, std::size_t at) {
  // nnAt lists the indices of the NN intervals in increasing order.
  const auto after = std::ranges::lower_bound(nnAt, at);
  const std::size_t before = static_cast<std::size_t>(after - nnAt.begin());
  const std::size_t from =
      before > kInterpolationNeighbours ? before - kInterpolationNeighbours : 0;
  const std::size_t to = std::min(nnAt.size(), before + kInterpolationNeighbours);
  if (from == to) return std::nullopt;
  std::vector<double> around;
  around.reserve(to - from);
  for (std::size_t k = from; k < to; ++k) around.push_back(intervals[nnAt[k]].ms);
  return statistics::linearQuantileFromNearerEnd(around, 0.5);
}

}  // namespace

ReadableSeries readableSeries(std::span<const double> beats,
                              std::span<const beats::SampleStretch> unreadable, double rate,
                              std::span<const beats::BeatClass> classes, EctopicHandling ectopic) {
  ReadableSeries series;
  for (const double beat : beats) {
    if (insideStretches(unreadable, beat)) ++series.excludedBeats;
  }
  std::vector<Interval> intervals;
  intervals.reserve(beats.size());
  for (std::size_t i = 1; i < beats.size(); ++i) {
    if (touches(unreadable, beats[i - 1], beats[i])) {
      ++series.excludedIntervals;
    } else {
      const bool nn = normal(classes, i - 1) && normal(classes, i);
      intervals.push_back({(beats[i] - beats[i - 1]) * 1000.0 / rate, i, nn});
    }
  }
  std::vector<std::size_t> nnAt;
  if (ectopic == EctopicHandling::interpolate) {
    for (std::size_t k = 0; k < intervals.size(); ++k) {
      if (intervals[k].nn) nnAt.push_back(k);
    }
  }
  series.intervalsMs.reserve(intervals.size());
  series.ends.reserve(intervals.size());
  for (std::size_t k = 0; k < intervals.size(); ++k) {
    std::optional<double> ms = intervals[k].ms;
    if (!intervals[k].nn) {
      ++series.ectopicIntervals;
      ms = ectopic == EctopicHandling::interpolate ? neighbourMedian(intervals, nnAt, k)
                                                   : std::nullopt;
      if (ms) ++series.interpolatedIntervals;
    }
    if (ms) {
      series.intervalsMs.push_back(*ms);
      series.ends.push_back(intervals[k].end);
    }
  }
  return series;
}

std::vector<double> intervalEndsMs(std::span<const double> beats, std::span<const std::size_t> ends,
                                   double rate) {
  std::vector<double> endsMs;
  if (ends.empty()) return endsMs;
  const double first = beats[ends.front() - 1];
  endsMs.reserve(ends.size());
  for (const std::size_t end : ends) endsMs.push_back((beats[end] - first) / rate * 1000);
  return endsMs;
}

}  // namespace rrscope::pipeline
