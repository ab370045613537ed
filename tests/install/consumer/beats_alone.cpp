#include <cmath>
#include <iostream>
#include <vector>

#include "beats/r_peak_detector.h"

int main() {
  // Ten seconds at 250 samples per second, a narrow spike each second.
  std::vector<double> samples(2500, 0.0);
  for (std::size_t peak = 125; peak < samples.size(); peak += 250) {
    for (int k = -5; k <= 5; ++k) samples[peak + k] = std::exp(-k * k / 4.0);
  }
  std::cout << rrscope::beats::detectRPeaks(samples, 250).size() << '\n';
}
