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

// The dot product in four running sums, which the processor can add in
// parallel; one sum would wait on each addition in turn.
double dot(std::span<const double> a, std::span<const double> b) {
  double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
  std::size_t k = 0;
  for (; k + 4 <= a.size(); k += 4) {
    s0 += a[k] * b[k];
    s1 += a[k + 1] * b[k + 1];
    s2 += a[k + 2] * b[k + 2];
    s3 += a[k + 3] * b[k + 3];
  }
  for (; k < a.size(); ++k) s0 += a[k] * b[k];
  return (s0 + s1) + (s2 + s3);
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
  // The sum and energy of the segment under the shape at every shift.
  std::vector<double> sums(shifts), energies(shifts);
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
    sums[s] = sum;
    energies[s] = energy;
  }
  std::vector<double> correlation(shifts, std::nan(""));
  const auto at = [&](std::size_t s) {
    if (std::isnan(correlation[s])) {
      const double spread = energies[s] - sums[s] * sums[s] / n;
      const double scale = std::sqrt(shapeSpread * std::max(spread, 0.0));
      correlation[s] = spread > kFlat * energies[s] && scale > 0
                           ? dot(centred, segment.subspan(s, width)) / scale
                           : 0;
    }
    return correlation[s];
  };
  // Every other shift first, then the shifts beside the best of them: the
  // correlation of a lead low-passed well below half the rate changes
  // smoothly from one sample to the next, so its peak lies within a sample
  // of the best even shift, for half the work.
  std::size_t best = 0;
  for (std::size_t s = 0; s < shifts; s += 2) {
    if (at(s) > at(best)) best = s;
  }
  for (const std::size_t s : {best - 1, best + 1}) {
    if (s < shifts && at(s) > at(best)) best = s;
  }
  double lag = static_cast<double>(best) - maxLag;
  if (best > 0 && best + 1 < shifts) {
    lag += vertexOffset(at(best - 1), at(best), at(best + 1));
  }
  const double gain = at(best) == 0 ? 0 : dot(centred, segment.subspan(best, width)) / shapeSpread;
  return {lag, at(best), gain};
}

std::optional<std::span<const double>> stretchInside(std::span<const double> lead,
                                                     std::int64_t centre, std::int64_t before,
                                                     std::int64_t after) {
  const std::int64_t first = centre - before;
  const std::int64_t last = centre + after;
  if (first < 0 || last >= static_cast<std::int64_t>(lead.size())) return std::nullopt;
  return lead.subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first + 1));
}

}  // namespace rrscope::beats
