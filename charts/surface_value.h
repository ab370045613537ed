#pragma once

#include <cmath>
#include <limits>

#include "analysis/run_values.h"

namespace rrscope::charts {

// A chart and the parameter box whose scale places a coordinate on it.
struct ChartScale {
  analysis::Picture chart;
  analysis::TextBox box;
};

// Stops the run with an overflow: a coordinate of the chart lies beyond the
// range a surface can take at the scale in the box.
[[noreturn]] void throwChartOverflow(const analysis::RunContext& run, ChartScale scale);

// A coordinate or radius computed in double precision, as the single-precision
// number a surface takes. A value that does not fit (an overflow in the double
// arithmetic included) stops the run with an overflow.
inline float surfaceValue(double value, const analysis::RunContext& run, ChartScale scale) {
  // Checked before the conversion: converting a double beyond the float range
  // is undefined.
  if (!(std::fabs(value) <= std::numeric_limits<float>::max())) throwChartOverflow(run, scale);
  return static_cast<float>(value);
}

// A value computed in double precision that must stay within the doubles.
inline double finiteValue(double value, const analysis::RunContext& run, ChartScale scale) {
  if (!std::isfinite(value)) throwChartOverflow(run, scale);
  return value;
}

}  // namespace rrscope::charts
