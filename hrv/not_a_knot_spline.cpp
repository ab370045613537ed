#include "hrv/not_a_knot_spline.h"

#include <algorithm>

namespace rrscope::hrv {
namespace {

struct Tridiagonal {
  std::vector<double> below;
  std::vector<double> diagonal;
  std::vector<double> above;
  std::vector<double> right;
};

// Thomas algorithm; the system here is diagonally dominant, so no pivoting.
std::vector<double> solve(Tridiagonal s) {
  const std::size_t n = s.diagonal.size();
  for (std::size_t i = 1; i < n; ++i) {
    const double factor = s.below[i] / s.diagonal[i - 1];
    s.diagonal[i] -= factor * s.above[i - 1];
    s.right[i] -= factor * s.right[i - 1];
  }
  std::vector<double> solution(n);
  solution[n - 1] = s.right[n - 1] / s.diagonal[n - 1];
  for (std::size_t i = n - 1; i-- > 0;)
    solution[i] = (s.right[i] - s.above[i] * solution[i + 1]) / s.diagonal[i];
  return solution;
}

// The continuity equations of the second derivatives at the inner points,
// with the two end values eliminated through the not-a-knot conditions
// (equal third derivatives on both sides of the second and second-last point).
Tridiagonal innerSystem(std::span<const double> h, std::span<const double> slope) {
  const std::size_t inner = h.size() - 1;
  Tridiagonal s{std::vector<double>(inner), std::vector<double>(inner), std::vector<double>(inner),
                std::vector<double>(inner)};
  for (std::size_t r = 0; r < inner; ++r) {
    s.below[r] = h[r];
    s.diagonal[r] = 2 * (h[r] + h[r + 1]);
    s.above[r] = h[r + 1];
    s.right[r] = 6 * (slope[r + 1] - slope[r]);
  }
  const std::size_t last = h.size() - 1;
  s.diagonal[0] += h[0] * (h[0] + h[1]) / h[1];
  s.above[0] -= h[0] * h[0] / h[1];
  s.below[inner - 1] -= h[last] * h[last] / h[last - 1];
  s.diagonal[inner - 1] += h[last] * (h[last - 1] + h[last]) / h[last - 1];
  return s;
}

}  // namespace

NotAKnotSpline::NotAKnotSpline(std::span<const double> x, std::span<const double> y)
    : x_(x.begin(), x.end()), y_(y.begin(), y.end()) {
  const std::size_t n = x.size();
  std::vector<double> h(n - 1);
  std::vector<double> slope(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    h[i] = x[i + 1] - x[i];
    slope[i] = (y[i + 1] - y[i]) / h[i];
  }
  const std::vector<double> inner = solve(innerSystem(h, slope));
  curvature_.resize(n);
  std::copy(inner.begin(), inner.end(), curvature_.begin() + 1);
  const std::size_t last = n - 2;
  curvature_[0] = ((h[0] + h[1]) * curvature_[1] - h[0] * curvature_[2]) / h[1];
  curvature_[n - 1] =
      ((h[last - 1] + h[last]) * curvature_[n - 2] - h[last] * curvature_[n - 3]) / h[last - 1];
}

std::vector<double> NotAKnotSpline::evaluateAscending(std::span<const double> positions) const {
  std::vector<double> values;
  values.reserve(positions.size());
  std::size_t i = 0;
  for (const double t : positions) {
    while (i + 2 < x_.size() && t > x_[i + 1]) ++i;
    const double h = x_[i + 1] - x_[i];
    const double a = x_[i + 1] - t;
    const double b = t - x_[i];
    values.push_back((curvature_[i] * a * a * a + curvature_[i + 1] * b * b * b) / (6 * h) +
                     (y_[i] / h - curvature_[i] * h / 6) * a +
                     (y_[i + 1] / h - curvature_[i + 1] * h / 6) * b);
  }
  return values;
}

}  // namespace rrscope::hrv
