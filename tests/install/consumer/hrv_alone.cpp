#include <iostream>
#include <vector>

#include "hrv/hrv_measures.h"

int main() {
  const std::vector<double> intervals = {800, 810, 790, 805, 795, 800};
  // Successive differences 10, -20, 15, -10, 5: RMSSD = sqrt(850 / 5).
  std::cout << rrscope::hrv::computeMeasures(intervals)[rrscope::hrv::Measure::rmssd].value()
            << '\n';
}
