#include "pipeline/sample_stretches.h"

#include <algorithm>

namespace rrscope::pipeline {
namespace {

std::vector<beats::SampleStretch> overlap(std::span<const beats::SampleStretch> a,
                                          std::span<const beats::SampleStretch> b) {
  std::vector<beats::SampleStretch> both;
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const double begin = std::max(a[i].begin, b[j].begin);
    const double end = std::min(a[i].end, b[j].end);
    if (begin < end) both.push_back({begin, end});
    // The stretch that ends first can overlap nothing further on.
    if (a[i].end < b[j].end) {
      ++i;
    } else {
      ++j;
    }
  }
  return both;
}

}  // namespace

bool insideStretches(std::span<const beats::SampleStretch> stretches, double position) {
  const auto after = std::ranges::upper_bound(stretches, position, {}, &beats::SampleStretch::end);
  return after != stretches.end() && position > after->begin && position < after->end;
}

std::vector<beats::SampleStretch> commonStretches(
    std::span<const std::vector<beats::SampleStretch>> leads) {
  if (leads.empty()) return {};
  std::vector<beats::SampleStretch> common = leads.front();
  for (const auto& lead : leads.subspan(1)) common = overlap(common, lead);
  return common;
}

std::vector<beats::SampleStretch> unitedStretches(std::span<const beats::SampleStretch> a,
                                                  std::span<const beats::SampleStretch> b) {
  std::vector<beats::SampleStretch> all(a.begin(), a.end());
  all.insert(all.end(), b.begin(), b.end());
  std::ranges::sort(all, {}, &beats::SampleStretch::begin);
  std::vector<beats::SampleStretch> united;
  for (const beats::SampleStretch& stretch : all) {
    if (!united.empty() && stretch.begin <= united.back().end) {
      united.back().end = std::max(united.back().end, stretch.end);
    } else {
      united.push_back(stretch);
    }
  }
  return united;
}

}  // namespace rrscope::pipeline
