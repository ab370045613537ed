#include "pipeline/lead_merge.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "beats/physiology.h"
#include "pipeline/lead_alignment.h"
#include "pipeline/sample_stretches.h"

namespace rrscope::pipeline {
namespace {

// One beat as the leads see it: `at` in the primary's samples, where the
// lead that first saw it placed it once aligned; `seen` holds each lead's
// own position, if it saw the beat.
struct SharedBeat {
  double at = 0;
  std::vector<std::optional<double>> seen;
};

std::optional<std::size_t> nearestBeat(std::span<const SharedBeat> shared, double position) {
  const auto after = std::ranges::lower_bound(shared, position, {}, &SharedBeat::at);
  std::optional<std::size_t> best;
  if (after != shared.end()) best = static_cast<std::size_t>(after - shared.begin());
  if (after != shared.begin() &&
      (!best || position - std::prev(after)->at < after->at - position)) {
    best = static_cast<std::size_t>(after - shared.begin()) - 1;
  }
  return best;
}

// Adds the beats of lead `index` to `shared`: each joins the nearest shared
// beat within `window`, the nearest of the lead's beats when two reach for
// the same one; the others become shared beats of their own.
void addLead(std::vector<SharedBeat>& shared, const beats::DetectedBeats& lead, std::size_t index,
             double offset, double window, std::size_t leadCount) {
  std::vector<std::optional<std::size_t>> claimedBy(shared.size());
  for (std::size_t i = 0; i < lead.beats.size(); ++i) {
    const double aligned = lead.beats[i] - offset;
    const std::optional<std::size_t> near = nearestBeat(shared, aligned);
    if (!near) continue;
    const double at = shared[*near].at;
    if (std::abs(at - aligned) > window) continue;
    std::optional<std::size_t>& claim = claimedBy[*near];
    if (!claim || std::abs(at - aligned) < std::abs(at - (lead.beats[*claim] - offset))) claim = i;
  }
  std::vector<bool> joined(lead.beats.size(), false);
  for (std::size_t s = 0; s < claimedBy.size(); ++s) {
    if (!claimedBy[s]) continue;
    joined[*claimedBy[s]] = true;
    shared[s].seen[index] = lead.beats[*claimedBy[s]];
  }
  for (std::size_t i = 0; i < lead.beats.size(); ++i) {
    if (joined[i]) continue;
    SharedBeat alone{lead.beats[i] - offset, std::vector<std::optional<double>>(leadCount)};
    alone.seen[index] = lead.beats[i];
    shared.push_back(std::move(alone));
  }
  std::ranges::stable_sort(shared, {}, &SharedBeat::at);
}

// A merged beat and how many readable leads saw it; 0 where none could be
// read and the primary's beat stands as detected.
struct StandingBeat {
  double position = 0;
  std::size_t support = 0;
};

class LeadVote {
 public:
  LeadVote(std::span<const beats::DetectedBeats> leads, std::span<const LeadAlignment> alignments)
      : leads_(leads), alignments_(alignments) {}

  // The merged beat, or nothing when it does not stand.
  std::optional<StandingBeat> decide(const SharedBeat& beat) const {
    std::size_t readable = 0, seenReadable = 0;
    std::optional<std::size_t> best;  // the readable lead that saw it, best aligned
    for (std::size_t l = 0; l < leads_.size(); ++l) {
      const double where = beat.seen[l].value_or(beat.at + alignments_[l].offset);
      if (insideStretches(leads_[l].unreadable, where)) continue;
      ++readable;
      if (!beat.seen[l]) continue;
      ++seenReadable;
      // The primary, met first, is never replaced.
      if (!best || (*best != 0 && alignments_[l].shared > alignments_[*best].shared)) best = l;
    }
    const bool primaryReadableSees = best == 0u;
    if (readable == 0) {
      if (!beat.seen[0]) return std::nullopt;
      return StandingBeat{*beat.seen[0], 0};
    }
    if (2 * seenReadable < readable) return std::nullopt;
    if (2 * seenReadable == readable && !primaryReadableSees) return std::nullopt;
    return StandingBeat{*beat.seen[*best] - alignments_[*best].offset, seenReadable};
  }

 private:
  std::span<const beats::DetectedBeats> leads_;
  std::span<const LeadAlignment> alignments_;
};

// No two beats come closer than the refractory period; closer merged beats
// are one complex that two leads placed over kSameBeatMs apart (a wide
// ectopic complex, or one lead's false beat beside a burst). The beat more
// readable leads saw stands, the earlier on a tie.
constexpr double kRefractoryMs = beats::kRefractorySeconds * 1000;

std::vector<double> keepApart(std::vector<StandingBeat> standing, double refractory) {
  std::ranges::sort(standing, {}, &StandingBeat::position);
  std::vector<StandingBeat> apart;
  for (const StandingBeat& beat : standing) {
    if (apart.empty() || beat.position - apart.back().position >= refractory) {
      apart.push_back(beat);
    } else if (beat.support > apart.back().support) {
      apart.back() = beat;
    }
  }
  std::vector<double> positions;
  for (const StandingBeat& beat : apart) positions.push_back(beat.position);
  return positions;
}

}  // namespace

beats::DetectedBeats mergeLeads(std::span<const beats::DetectedBeats> leads, double rate) {
  if (leads.size() <= 1) return leads.empty() ? beats::DetectedBeats{} : leads.front();
  const double window = kSameBeatMs * rate / 1000.0;
  std::vector<LeadAlignment> alignments{{0, leads.front().beats.size()}};
  for (const auto& lead : leads.subspan(1)) {
    alignments.push_back(alignLead(lead, leads.front(), window));
  }
  std::vector<SharedBeat> shared;
  for (const double beat : leads.front().beats) {
    SharedBeat first{beat, std::vector<std::optional<double>>(leads.size())};
    first.seen[0] = beat;
    shared.push_back(std::move(first));
  }
  for (std::size_t l = 1; l < leads.size(); ++l) {
    addLead(shared, leads[l], l, alignments[l].offset, window, leads.size());
  }

  const LeadVote vote(leads, alignments);
  std::vector<StandingBeat> standing;
  for (const SharedBeat& beat : shared) {
    if (const std::optional<StandingBeat> stands = vote.decide(beat)) standing.push_back(*stands);
  }
  beats::DetectedBeats merged;
  merged.beats = keepApart(std::move(standing), kRefractoryMs * rate / 1000.0);

  std::vector<std::vector<beats::SampleStretch>> stretches;
  for (const auto& lead : leads) stretches.push_back(lead.unreadable);
  merged.unreadable = commonStretches(stretches);
  return merged;
}

}  // namespace rrscope::pipeline
