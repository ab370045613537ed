#include "beats/beat_families.h"

#include <algorithm>
#include <optional>

namespace rrscope::beats {
namespace {

// The members a family's mean follows.
constexpr double kFollowedMembers = 20;
// A family more different in size than this is another one: a beat half as
// tall as its family is often a fusion or another origin.
constexpr double kLargestSizeRatio = 2.0;
// The most families followed at once: past it, a new family replaces the one
// that was joined longest ago. A recording has a few shapes; noise makes
// many short-lived ones.
constexpr std::size_t kMostFamilies = 24;

struct FollowedFamily {
  std::size_t index = 0;     // in BeatFamilies::families
  std::size_t lastBeat = 0;  // the last beat that joined
};

}  // namespace

void followMember(BeatFamily& family, const Waveform& w, int shift) {
  ++family.members;
  const double weight = 1.0 / std::min(static_cast<double>(family.members), kFollowedMembers);
  for (std::size_t k = 0; k < kWaveformLength; ++k) {
    const int from = static_cast<int>(k) + shift;
    const std::size_t source =
        static_cast<std::size_t>(std::clamp(from, 0, static_cast<int>(kWaveformLength) - 1));
    family.mean[k] = waveformValue(family.mean[k] + weight * (w[source] - family.mean[k]));
  }
}

namespace {

bool sizeFits(double size) {
  return size >= 1 / kLargestSizeRatio && size <= kLargestSizeRatio;
}

}  // namespace

BeatFamilies formFamilies(std::span<const Waveform> waveforms) {
  BeatFamilies result;
  result.familyOf.resize(waveforms.size());
  std::vector<FollowedFamily> followed;  // the largest first
  for (std::size_t b = 0; b < waveforms.size(); ++b) {
    const Waveform& w = waveforms[b];
    std::optional<std::size_t> joined;
    for (std::size_t f = 0; f < followed.size(); ++f) {
      BeatFamily& family = result.families[followed[f].index];
      const Resemblance r = resemblance(family.mean, w);
      if (r.correlation >= kFamilyCorrelation && sizeFits(r.size)) {
        followMember(family, w, r.shift);
        followed[f].lastBeat = b;
        joined = f;
        break;
      }
    }
    if (!joined) {
      if (followed.size() == kMostFamilies) {
        const auto oldest = std::ranges::min_element(followed, {}, &FollowedFamily::lastBeat);
        followed.erase(oldest);
      }
      result.families.push_back({w, 1});
      followed.push_back({result.families.size() - 1, b});
      joined = followed.size() - 1;
    }
    result.familyOf[b] = followed[*joined].index;
    // Keep the largest families first, so most beats are matched at once.
    for (std::size_t f = *joined; f > 0; --f) {
      if (result.families[followed[f].index].members <=
          result.families[followed[f - 1].index].members)
        break;
      std::swap(followed[f], followed[f - 1]);
    }
  }
  return result;
}

}  // namespace rrscope::beats
