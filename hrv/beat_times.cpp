#include "hrv/beat_times.h"

namespace rrscope::hrv {

std::vector<double> beatTimesFromFirst(std::span<const double> intervalsMs) {
  std::vector<double> times;
  times.reserve(intervalsMs.size());
  double endMs = 0;
  for (const double interval : intervalsMs) {
    endMs += interval;
    times.push_back(endMs / 1000);
  }
  const double first = times.front();
  for (double& time : times) time -= first;
  return times;
}

}  // namespace rrscope::hrv
