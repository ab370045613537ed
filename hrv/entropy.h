#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace rrscope::hrv {

// Whether two templates at distance exactly r match.
enum class TieRule : std::uint8_t {
  inclusive,  // distance <= r: Pincus's C_i, and the measures' own rule
  strict,     // distance < r: PhysioNet's sampen.c, for comparisons with it
};

// The template counts behind sample and approximate entropy of `x` for
// templates of length m and m + 1, with the Chebyshev distance, each
// coordinate compared as the difference of the two doubles.
struct TemplateCounts {
  // Sample entropy (Richman and Moorman): pairs i < j among the N - m
  // templates that start at 1 ... N - m, matching at length m (B) and at
  // length m + 1 (A).
  std::uint64_t pairsM = 0;       // B
  std::uint64_t pairsMPlus1 = 0;  // A
  // Approximate entropy (Pincus): the mean of ln C_i over the N - m + 1
  // templates of length m, and over the N - m of length m + 1, where C_i is
  // the share of templates within r of template i, itself included whatever
  // the tie rule.
  double phiM = 0;
  double phiMPlus1 = 0;
};

// Counts exactly without comparing every pair: needs m >= 1 and N >= m + 2
// (otherwise all counts are zero), finite values, fewer than 2^32 of them, and
// a finite r >= 0. The cost is a sort and about one check per matching pair:
// a 24-hour series of 100 000 intervals, with some 10^8 pairs matching at
// m = 2, r = 0.2 SD, takes about 0.2 s of processor time, shared among the
// hardware threads. The result does not depend on the number of threads.
TemplateCounts countTemplates(std::span<const double> x, std::size_t m, double r,
                              TieRule rule = TieRule::inclusive);

// The same counts by comparing every pair, O(N^2): the reference the fast
// count is tested against, and fast enough for short series.
TemplateCounts countTemplatesPairwise(std::span<const double> x, std::size_t m, double r,
                                      TieRule rule = TieRule::inclusive);

}  // namespace rrscope::hrv
