#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace rrscope::beats {

// Where a beat's shape best matches a template, and how well.
struct Alignment {
  // The shift, in samples, that moves the template onto the beat: the
  // template's sample k matches the beat segment's sample k + maxLag + lag.
  // Placed between samples.
  double lag = 0;
  // The normalised cross-correlation at the best whole-sample shift, -1 to 1;
  // 0 when either side is flat.
  double correlation = 0;
  // How large the beat is against the template at that shift: the least-
  // squares factor that scales the template onto it; 0 when either is flat.
  double gain = 0;
};

// Slides `shape` (2h + 1 samples) over `segment` (2h + 2 * maxLag + 1
// samples, centred on the same nominal point) by -maxLag to +maxLag samples
// and returns the shift of the largest normalised (Pearson) cross-
// correlation, refined between samples by the vertex of the parabola through
// it and its two neighbours. Every other shift is tried first and then the
// two beside the best: the shapes are low-passed well below half the rate,
// so their correlation peak spans several shifts.
Alignment alignShape(std::span<const double> shape, std::span<const double> segment, int maxLag);

// The samples of `lead` from `centre - before` to `centre + after`, or
// nothing where that reaches past the lead.
std::optional<std::span<const double>> stretchInside(std::span<const double> lead,
                                                     std::int64_t centre, std::int64_t before,
                                                     std::int64_t after);

}  // namespace rrscope::beats
