#include "charts/surface_value.h"

#include <string>

#include "analysis/run_error.h"

namespace rrscope {

void throwChartOverflow(std::string_view what, std::string_view advice) {
  throw RunError(
      ErrorKind::overflow,
      std::string(what) + " lies beyond the range a chart can draw; " + std::string(advice));
}

}  // namespace rrscope
