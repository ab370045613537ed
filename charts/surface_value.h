#pragma once

#include <cmath>
#include <limits>
#include <string_view>

namespace rrscope {

// Stops the run with an overflow: `what` ("a tick dot of the rhythmogram")
// lies beyond the range a chart surface can take; `advice` says what to change.
[[noreturn]] void throwChartOverflow(std::string_view what, std::string_view advice);

// A coordinate or radius computed in double precision, as the single-precision
// number a surface takes. A value that does not fit (an overflow in the double
// arithmetic included) stops the run with an overflow.
inline float surfaceValue(double value, std::string_view what, std::string_view advice) {
  // Checked before the conversion: converting a double beyond the float range
  // is undefined.
  if (!(std::fabs(value) <= std::numeric_limits<float>::max())) {
    throwChartOverflow(what, advice);
  }
  return static_cast<float>(value);
}

// A value computed in double precision that must stay within the doubles.
inline double finiteValue(double value, std::string_view what, std::string_view advice) {
  if (!std::isfinite(value)) throwChartOverflow(what, advice);
  return value;
}

}  // namespace rrscope
