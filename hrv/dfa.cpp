#include "hrv/dfa.h"

#include <cmath>

#include "hrv/sample_statistics.h"

namespace rrscope::hrv {
namespace {

// y_k = sum over i <= k of (x_i - mean), with x measured from its first
// value: equal values give a profile of exact zeros, and the sums stay small.
std::vector<double> profileOf(std::span<const double> x) {
  const double origin = x.front();
  double total = 0;
  for (const double value : x) total += value - origin;
  const double mean = total / static_cast<double>(x.size());
  std::vector<double> profile;
  profile.reserve(x.size());
  double sum = 0;
  for (const double value : x) {
    sum += value - origin - mean;
    profile.push_back(sum);
  }
  return profile;
}

// The sum of squared residuals of a box about its least-squares line against
// t = 1 ... n. Both t and the values are centred within the box and the
// residuals are formed one by one: the shortcut sum(y^2) - sum(ty)^2 / sum(t^2)
// would cancel away most of the digits on a profile that drifts far from zero.
double boxResidualSquares(std::span<const double> box) {
  const auto n = static_cast<double>(box.size());
  const double middle = (n - 1) / 2;  // of the offsets 0 ... n - 1, as of 1 ... n
  const double mean = meanOf(box);
  double products = 0;
  for (std::size_t k = 0; k < box.size(); ++k)
    products += (static_cast<double>(k) - middle) * (box[k] - mean);
  const double slope = products / (n * (n * n - 1) / 12);
  double squares = 0;
  for (std::size_t k = 0; k < box.size(); ++k) {
    const double residual = box[k] - mean - slope * (static_cast<double>(k) - middle);
    squares += residual * residual;
  }
  return squares;
}

double fluctuation(std::span<const double> profile, std::size_t n) {
  const std::size_t boxes = profile.size() / n;
  double squares = 0;
  for (std::size_t b = 0; b < boxes; ++b) squares += boxResidualSquares(profile.subspan(b * n, n));
  return std::sqrt(squares / static_cast<double>(boxes * n));
}

}  // namespace

std::vector<double> dfaFluctuation(std::span<const double> x,
                                   std::span<const std::size_t> boxSizes) {
  const std::vector<double> profile = profileOf(x);
  std::vector<double> result;
  result.reserve(boxSizes.size());
  for (const std::size_t n : boxSizes) result.push_back(fluctuation(profile, n));
  return result;
}

DfaFit dfaFit(std::span<const std::size_t> boxSizes, std::span<const double> fluctuation) {
  std::vector<double> logN;
  std::vector<double> logF;
  for (std::size_t i = 0; i < boxSizes.size(); ++i) {
    logN.push_back(std::log10(static_cast<double>(boxSizes[i])));
    logF.push_back(std::log10(fluctuation[i]));
  }
  const double meanN = meanOf(logN);
  const double meanF = meanOf(logF);
  double products = 0;
  double squares = 0;
  for (std::size_t i = 0; i < logN.size(); ++i) {
    products += (logN[i] - meanN) * (logF[i] - meanF);
    squares += (logN[i] - meanN) * (logN[i] - meanN);
  }
  const double slope = products / squares;
  return {slope, meanF - slope * meanN};
}

}  // namespace rrscope::hrv
