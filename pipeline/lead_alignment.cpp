#include "pipeline/lead_alignment.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <vector>

#include "pipeline/sample_stretches.h"
#include "statistics/order_statistics.h"

namespace rrscope::pipeline {
namespace {

std::optional<double> nearest(std::span<const double> beats, double position) {
  const auto after = std::ranges::lower_bound(beats, position);
  std::optional<double> best;
  if (after != beats.end()) best = *after;
  if (after != beats.begin() && (!best || position - *std::prev(after) < *best - position)) {
    best = *std::prev(after);
  }
  return best;
}

}  // namespace

std::vector<double> pairedDifferences(const beats::DetectedBeats& lead,
                                      const beats::DetectedBeats& primary, double window) {
  std::vector<double> differences;
  for (const double beat : lead.beats) {
    const std::optional<double> partner = nearest(primary.beats, beat);
    if (!partner || std::abs(beat - *partner) > window) continue;
    if (insideStretches(lead.unreadable, beat) || insideStretches(primary.unreadable, *partner)) {
      continue;
    }
    differences.push_back(beat - *partner);
  }
  return differences;
}

LeadAlignment alignLead(const beats::DetectedBeats& lead, const beats::DetectedBeats& primary,
                        double window) {
  std::vector<double> differences = pairedDifferences(lead, primary, window);
  if (differences.empty()) return {};
  const std::size_t shared = differences.size();
  return {statistics::midpointMedian(std::move(differences)), shared};
}

}  // namespace rrscope::pipeline
