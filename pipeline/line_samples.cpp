#include "pipeline/line_samples.h"

#include "analysis/run_values.h"

namespace rrscope::pipeline {

void LineSamples::read(std::int64_t first, std::span<double> out) const {
  // Line positions count from 1, sample indices from 0.
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = analysis::parseSampleLine(lines_, first + 1 + static_cast<std::int64_t>(i));
  }
}

}  // namespace rrscope::pipeline
