#include "hrv/welch_density.h"

#include <fftw3.h>

#include <cmath>
#include <memory>
#include <mutex>
#include <numbers>

namespace rrscope::hrv {
namespace {

// FFTW's planner keeps state of its own: making and destroying plans must
// not happen in two threads at once, while executing them may. The windows
// of a long series are measured on every core, so all plans go through this
// one lock; it lives as long as the program, as FFTW's planner does.
std::mutex& plannerLock() {
  static std::mutex lock;
  return lock;
}

struct FftwFree {
  void operator()(void* memory) const { fftw_free(memory); }
};
struct PlanDestroy {
  void operator()(fftw_plan_s* plan) const {
    const std::lock_guard<std::mutex> planning(plannerLock());
    fftw_destroy_plan(plan);
  }
};

fftw_plan_s* realTransformPlan(double* input, fftw_complex* output) {
  const std::lock_guard<std::mutex> planning(plannerLock());
  return fftw_plan_dft_r2c_1d(static_cast<int>(kWelchFftLength), input, output,
                              FFTW_ESTIMATE | FFTW_PRESERVE_INPUT);
}

// FFTW's aligned buffers and its plan for one real transform of kWelchFftLength.
class RealTransform {
 public:
  RealTransform()
      : input_(fftw_alloc_real(kWelchFftLength)),
        output_(fftw_alloc_complex(kWelchFftLength / 2 + 1)),
        plan_(realTransformPlan(input_.get(), output_.get())) {
    std::fill_n(input_.get(), kWelchFftLength, 0.0);
  }
  double* input() { return input_.get(); }
  const fftw_complex* transform() {
    fftw_execute(plan_.get());
    return output_.get();
  }

 private:
  std::unique_ptr<double, FftwFree> input_;
  std::unique_ptr<fftw_complex, FftwFree> output_;
  std::unique_ptr<fftw_plan_s, PlanDestroy> plan_;
};

std::vector<double> periodicHann() {
  std::vector<double> window(kWelchSegment);
  for (std::size_t n = 0; n < kWelchSegment; ++n)
    window[n] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(n) /
                                     static_cast<double>(kWelchSegment));
  return window;
}

// Writes the windowed segment, less its mean, into the transform's input;
// the rest of the input stays zero.
void loadSegment(std::span<const double> segment, std::span<const double> window, double* input) {
  double sum = 0;
  for (const double value : segment) sum += value;
  const double mean = sum / static_cast<double>(segment.size());
  for (std::size_t n = 0; n < segment.size(); ++n) input[n] = (segment[n] - mean) * window[n];
}

}  // namespace

Spectrum welchSpectrum(std::span<const double> series) {
  constexpr std::size_t bins = kWelchFftLength / 2 + 1;
  const std::vector<double> window = periodicHann();
  double windowPower = 0;
  for (const double w : window) windowPower += w * w;

  RealTransform fft;
  std::vector<double> power(bins, 0.0);
  std::size_t segments = 0;
  for (std::size_t start = 0; start + kWelchSegment <= series.size(); start += kWelchStep) {
    loadSegment(series.subspan(start, kWelchSegment), window, fft.input());
    const fftw_complex* spectrum = fft.transform();
    for (std::size_t k = 0; k < bins; ++k)
      power[k] += spectrum[k][0] * spectrum[k][0] + spectrum[k][1] * spectrum[k][1];
    ++segments;
  }

  Spectrum result;
  result.frequenciesHz.resize(bins);
  result.densitiesMs2PerHz.resize(bins);
  const double scale = 1 / (kResampleHz * windowPower * static_cast<double>(segments));
  for (std::size_t k = 0; k < bins; ++k) {
    const bool edge = k == 0 || k == bins - 1;
    result.frequenciesHz[k] =
        static_cast<double>(k) * kResampleHz / static_cast<double>(kWelchFftLength);
    result.densitiesMs2PerHz[k] = power[k] * scale * (edge ? 1 : 2);
  }
  return result;
}

}  // namespace rrscope::hrv
