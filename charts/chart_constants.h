#pragma once

namespace rrscope::charts {

// What the rhythmogram and the scattergram have in common: ticks every 0.1 s
// of interval length, 40 tick dots and 30 labels on each value axis, and the
// same dots and lines.
inline constexpr double kTickStep = 600;  // samples, 0.1 s
inline constexpr int kTickDots = 40;
inline constexpr int kTickLabels = 30;
inline constexpr int kLineWidth = 2;
inline constexpr double kDotRadius = 20;

}  // namespace rrscope::charts
