#pragma once

#include <span>
#include <vector>

namespace rrscope::hrv {

// The cubic spline through points with strictly increasing x whose third
// derivative is continuous at the second and the second-last point (the
// "not-a-knot" ends), so four points or more of a cubic give that cubic back.
class NotAKnotSpline {
 public:
  // Needs at least four points.
  NotAKnotSpline(std::span<const double> x, std::span<const double> y);

  // The spline at ascending positions within [x.front(), x.back()].
  std::vector<double> evaluateAscending(std::span<const double> positions) const;

 private:
  std::vector<double> x_;
  std::vector<double> y_;
  std::vector<double> curvature_;  // second derivative at each point
};

}  // namespace rrscope::hrv
