#include "beats/shape_alignment.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace rrscope::beats {
namespace {

// The vertex of the parabola through (-1, before), (0, at), (1, after),
// kept within half a sample: beyond that a neighbour would be the maximum.
double vertexOffset(double before, double at, double after) {
  const double curvature = before - 2 * at + after;
  if (curvature >= 0) return 0;
  return std::clamp(0.5 * (before - after) / curvature, -0.5, 0.5);
}

}  // namespace

Alignment alignShape(std::span<const double> shape, std::span<const double> segment, int maxLag) {
  const std::size_t width = shape.size();
  const auto shifts = static_cast<std::size_t>(2 * maxLag + 1);
  if (maxLag < 0 || segment.size() < width + shifts - 1 || width == 0) return {};
  const auto n = static_cast<double>(width);
  double shapeMean = 0;
  for (const double v : shape) shapeMean += v;
  shapeMean /= n;
  std::vector<double> centred(shape.begin(), shape.end());
  double shapeSpread = 0, shapeEnergy = 0;
  for (double& v : centred) {
    shapeEnergy += v * v;
    v -= shapeMean;
    shapeSpread += v * v;
  }
  // A spread that is only the rounding of its sums is a flat line, which
  // has no shape to match.
  constexpr double kFlat = 1e-12;
  if (shapeSpread <= kFlat * shapeEnergy) return {};
  std::vector<double> correlation(shifts, 0.0);
  // The sum and energy of the segment under the shape, slid along by one
  // sample at a time.
  double sum = 0, energy = 0;
  for (std::size_t k = 0; k < width; ++k) {
    sum += segment[k];
    energy += segment[k] * segment[k];
  }
  for (std::size_t s = 0; s < shifts; ++s) {
    if (s > 0) {
      const double in = segment[s + width - 1], out = segment[s - 1];
      sum += in - out;
      energy += in * in - out * out;
    }
    double product = 0;
    const double* under = segment.data() + s;
    for (std::size_t k = 0; k < width; ++k) product += centred[k] * under[k];
    const double spread = energy - sum * sum / n;
    const double scale = std::sqrt(shapeSpread * spread);
    correlation[s] = spread > kFlat * energy && scale > 0 ? product / scale : 0;
  }
  const auto best = static_cast<std::size_t>(
      std::max_element(correlation.begin(), correlation.end()) - correlation.begin());
  double lag = static_cast<double>(best) - maxLag;
  if (best > 0 && best + 1 < shifts) {
    lag += vertexOffset(correlation[best - 1], correlation[best], correlation[best + 1]);
  }
  return {lag, correlation[best]};
}

}  // namespace rrscope::beats
