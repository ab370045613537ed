#pragma once

#include <array>
#include <cmath>
#include <span>

// The step between the ticks of an axis: the smallest step of a ladder that
// still keeps the ticks from crowding. Header-only and on the standard
// library alone, so that every chart may use it.
namespace rrscope::statistics {

// The first of the ascending `ladder`'s steps, each times `unit`, that is at
// least `least`; the last one when none is.
inline double firstStepAtLeast(double least, std::span<const double> ladder, double unit = 1) {
  for (const double step : ladder) {
    if (step * unit >= least) return step * unit;
  }
  return ladder.back() * unit;
}

// The step of 1, 2 or 5 times a power of ten that gives at most about
// `count` ticks over `span`.
inline double decimalStep(double span, int count) {
  constexpr std::array<double, 4> kFactors{1, 2, 5, 10};
  const double least = span / count;
  return firstStepAtLeast(least, kFactors, std::pow(10.0, std::floor(std::log10(least))));
}

}  // namespace rrscope::statistics
