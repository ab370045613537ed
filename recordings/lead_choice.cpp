#include "recordings/lead_choice.h"

#include <algorithm>

namespace rrscope::recordings {
namespace {

bool sameRate(SamplingRate a, SamplingRate b) {
  return a.numerator == b.numerator && a.denominator == b.denominator;
}

}  // namespace

std::vector<std::size_t> chooseLeads(std::span<const ChannelListing> channels, std::size_t primary,
                                     WithoutEcgLabel fallback) {
  std::vector<std::size_t> others;
  for (std::size_t i = 0; i < channels.size(); ++i) {
    if (i != primary && sameRate(channels[i].rate, channels[primary].rate)) others.push_back(i);
  }
  const bool anyEcg =
      std::ranges::any_of(others, [&](std::size_t i) { return looksLikeEcg(channels[i].label); });
  if (anyEcg) {
    std::erase_if(others, [&](std::size_t i) { return !looksLikeEcg(channels[i].label); });
  } else if (fallback == WithoutEcgLabel::refuse) {
    others.clear();
  }
  std::vector<std::size_t> leads{primary};
  leads.insert(leads.end(), others.begin(), others.end());
  return leads;
}

}  // namespace rrscope::recordings
