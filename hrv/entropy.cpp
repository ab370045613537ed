#include "hrv/entropy.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <functional>
#include <future>
#include <numeric>
#include <thread>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace rrscope::hrv {
namespace {

bool within(double difference, double r, TieRule rule) {
  return rule == TieRule::inclusive ? std::abs(difference) <= r : std::abs(difference) < r;
}

// Whether the templates of `length` starting at i and j match; a template
// always matches itself, as Pincus's C_i counts it whatever the tie rule.
bool templatesMatch(std::span<const double> x, std::size_t i, std::size_t j, std::size_t length,
                    double r, TieRule rule) {
  if (i == j) return true;
  for (std::size_t k = 0; k < length; ++k) {
    if (!within(x[i + k] - x[j + k], r, rule)) return false;
  }
  return true;
}

// The mean of ln(C_i / templates), summed in template order so that every way
// of counting gives the same double.
double meanLogShare(std::span<const std::uint64_t> matches) {
  const auto templates = static_cast<double>(matches.size());
  double sum = 0;
  for (const std::uint64_t count : matches) sum += std::log(static_cast<double>(count) / templates);
  return sum / templates;
}

bool allEqual(std::span<const double> x) {
  return std::adjacent_find(x.begin(), x.end(), std::not_equal_to<>()) == x.end();
}

// The counts when one comparison decides every pair: all templates equal, or
// no two values close enough to match.
TemplateCounts countUniformly(std::size_t n, std::size_t m, bool othersMatch) {
  const std::size_t extendable = n - m;
  TemplateCounts counts;
  counts.pairsM = othersMatch ? std::uint64_t{extendable} * (extendable - 1) / 2 : 0;
  counts.pairsMPlus1 = counts.pairsM;
  counts.phiM =
      meanLogShare(std::vector<std::uint64_t>(extendable + 1, othersMatch ? extendable + 1 : 1));
  counts.phiMPlus1 =
      meanLogShare(std::vector<std::uint64_t>(extendable, othersMatch ? extendable : 1));
  return counts;
}

// The distinct values of the series in ascending order, each with the run of
// values within r of it. The difference of two doubles never decreases as the
// first grows, however it rounds, so the values within r of a value form one
// run, and testing another value's rank against that run is the exact test.
// Each run holds at least its own value: r admits a difference of zero.
class ValueLevels {
 public:
  ValueLevels(std::span<const double> x, double r, TieRule rule) : values_(x.begin(), x.end()) {
    std::sort(values_.begin(), values_.end());
    values_.erase(std::unique(values_.begin(), values_.end()), values_.end());
    for (const double value : values_) {
      const auto below = [&](double v) { return v < value && !within(v - value, r, rule); };
      const auto notAbove = [&](double v) { return v <= value || within(v - value, r, rule); };
      const auto first = std::partition_point(values_.begin(), values_.end(), below);
      const auto last = std::partition_point(first, values_.end(), notAbove);
      lowest_.push_back(static_cast<std::uint32_t>(first - values_.begin()));
      span_.push_back(static_cast<std::uint32_t>(last - first - 1));
    }
  }

  std::span<const double> values() const { return values_; }
  std::uint32_t rankOf(double value) const {
    return static_cast<std::uint32_t>(std::lower_bound(values_.begin(), values_.end(), value) -
                                      values_.begin());
  }
  // The ranks that match `rank` are lowestMatch ... lowestMatch + matchSpan.
  std::uint32_t lowestMatch(std::uint32_t rank) const { return lowest_[rank]; }
  std::uint32_t matchSpan(std::uint32_t rank) const { return span_[rank]; }

 private:
  std::vector<double> values_;
  std::vector<std::uint32_t> lowest_;
  std::vector<std::uint32_t> span_;
};

// The coordinate by which the templates are sorted within a column.
constexpr std::size_t sortedCoordinateFor(std::size_t m) {
  return m >= 2 ? 1 : 0;
}

// The N - m templates of length m + 1 that start at 0 ... N - m - 1, as the
// ranks of their values, coordinate by coordinate, in an order that keeps the
// candidates for a match together. For m >= 2 the templates fall into columns
// r / 2 wide by their first value, so matching templates lie at most two
// columns apart; within a column they are sorted by their second value, so
// the templates that match there form one run. For m = 1 one column holds
// all, sorted by the first value.
class TemplateGrid {
 public:
  struct Column {
    std::int64_t index = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
  };

  TemplateGrid(std::span<const double> x, std::size_t m, double r, const ValueLevels& levels)
      : count_(x.size() - m), coordinates_(m + 1), sorted_(sortedCoordinateFor(m)) {
    std::vector<std::uint32_t> rankOfValue(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) rankOfValue[i] = levels.rankOf(x[i]);
    const std::vector<std::int64_t> columnOfRank = columnIndices(levels.values(), m, r);
    const auto key = [&](std::size_t t) {
      return std::tuple(columnOfRank[rankOfValue[t]], rankOfValue[t + sorted_], t);
    };
    start_.resize(count_);
    std::iota(start_.begin(), start_.end(), std::size_t{0});
    std::sort(start_.begin(), start_.end(),
              [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
    ranks_.resize(coordinates_ * count_);
    for (std::size_t p = 0; p < count_; ++p) {
      for (std::size_t k = 0; k < coordinates_; ++k)
        ranks_[k * count_ + p] = rankOfValue[start_[p] + k];
      const std::int64_t index = columnOfRank[rankOfValue[start_[p]]];
      if (p == 0 || columns_.back().index != index) columns_.push_back({index, p, p});
      columns_.back().end = p + 1;
      columnOf_.push_back(columns_.size() - 1);
    }
  }

  std::size_t size() const { return count_; }
  std::size_t coordinates() const { return coordinates_; }
  std::size_t sortedCoordinate() const { return sorted_; }
  std::size_t startOf(std::size_t position) const { return start_[position]; }
  const std::uint32_t* ranks(std::size_t k) const { return ranks_.data() + k * count_; }
  std::span<const Column> columns() const { return columns_; }
  std::size_t columnOf(std::size_t position) const { return columnOf_[position]; }

 private:
  // The column of each distinct value. The columns are wider than r / 2 by
  // far more than the rounding of (value - lowest) / width, so two values
  // within r are never more than two columns apart; with r = 0 the width
  // stays positive, since the values are not all equal.
  static std::vector<std::int64_t> columnIndices(std::span<const double> values, std::size_t m,
                                                 double r) {
    std::vector<std::int64_t> indices(values.size(), 0);
    if (m < 2) return indices;
    const double width = std::max(r, 0.0) / 2 + (values.back() - values.front()) * 1e-12;
    for (std::size_t a = 0; a < values.size(); ++a)
      indices[a] = static_cast<std::int64_t>(std::floor((values[a] - values.front()) / width));
    return indices;
  }

  std::size_t count_;
  std::size_t coordinates_;
  std::size_t sorted_;                // the coordinate each column is sorted by
  std::vector<std::size_t> start_;    // the template at each position
  std::vector<std::uint32_t> ranks_;  // coordinate k of position p at k * count_ + p
  std::vector<Column> columns_;
  std::vector<std::size_t> columnOf_;
};

// Matches with other templates at length m and m + 1, by position. Ranks and
// counts of 32 bits let compilers test four candidates at a time.
struct PartnerCounts {
  explicit PartnerCounts(std::size_t size) : m(size), mPlus1(size) {}
  std::vector<std::uint32_t> m;
  std::vector<std::uint32_t> mPlus1;
};

// The runs of ranks that match one template, coordinate by coordinate. With
// m + 1 fixed at compile time they live in local arrays, which the compiler
// keeps in registers.
template <std::size_t kCoordinates>
class MatchingRuns {
 public:
  MatchingRuns(const TemplateGrid& grid, const ValueLevels& levels, std::size_t position) {
    if constexpr (kCoordinates == 0) {
      lowest_.resize(grid.coordinates());
      span_.resize(grid.coordinates());
    }
    for (std::size_t k = 0; k < grid.coordinates(); ++k) {
      lowest_[k] = levels.lowestMatch(grid.ranks(k)[position]);
      span_[k] = levels.matchSpan(grid.ranks(k)[position]);
    }
  }

  // Unsigned wrap-around makes ranks below the run large, so one comparison
  // tests both ends.
  bool contains(std::size_t k, std::uint32_t rank) const { return rank - lowest_[k] <= span_[k]; }

 private:
  using Ranks = std::conditional_t<kCoordinates != 0, std::array<std::uint32_t, kCoordinates>,
                                   std::vector<std::uint32_t>>;
  Ranks lowest_{};
  Ranks span_{};
};

// Counts the matches of the template at `position` with those at
// [begin, end), whose sorted coordinate is already known to match.
// kCoordinates is m + 1 when fixed at compile time, which lets the loop run on
// vector registers, or 0 for any m.
template <std::size_t kCoordinates>
void countPartners(const TemplateGrid& grid, const ValueLevels& levels, std::size_t position,
                   std::size_t begin, std::size_t end, PartnerCounts& counts) {
  const std::size_t coordinates = kCoordinates != 0 ? kCoordinates : grid.coordinates();
  const std::size_t last = coordinates - 1;
  const std::size_t sorted = sortedCoordinateFor(last);
  const MatchingRuns<kCoordinates> own(grid, levels, position);
  std::uint32_t* const partnersM = counts.m.data();
  std::uint32_t* const partnersMPlus1 = counts.mPlus1.data();
  std::uint32_t ownM = 0;
  std::uint32_t ownMPlus1 = 0;
  for (std::size_t j = begin; j < end; ++j) {
    std::uint32_t matchM = 1;
    for (std::size_t k = 0; k < last; ++k) {
      if (k != sorted) matchM &= own.contains(k, grid.ranks(k)[j]);
    }
    const std::uint32_t matchMPlus1 = matchM & own.contains(last, grid.ranks(last)[j]);
    partnersM[j] += matchM;
    partnersMPlus1[j] += matchMPlus1;
    ownM += matchM;
    ownMPlus1 += matchMPlus1;
  }
  partnersM[position] += ownM;
  partnersMPlus1[position] += ownMPlus1;
}

// Each pair is met once: from the earlier position within a column, and
// from the lower column across columns.
template <std::size_t kCoordinates>
void countFrom(const TemplateGrid& grid, const ValueLevels& levels, std::size_t position,
               PartnerCounts& counts) {
  const std::span<const TemplateGrid::Column> columns = grid.columns();
  const std::uint32_t* const sorted = grid.ranks(grid.sortedCoordinate());
  const std::uint32_t lowest = levels.lowestMatch(sorted[position]);
  const std::uint32_t highest = lowest + levels.matchSpan(sorted[position]);
  const std::size_t own = grid.columnOf(position);
  for (std::size_t c = own; c < columns.size() && columns[c].index - columns[own].index <= 2; ++c) {
    const std::uint32_t* const begin = sorted + (c == own ? position + 1 : columns[c].begin);
    const std::uint32_t* const end = sorted + columns[c].end;
    const std::uint32_t* const first = std::lower_bound(begin, end, lowest);
    const std::uint32_t* const last = std::upper_bound(first, end, highest);
    countPartners<kCoordinates>(grid, levels, position, static_cast<std::size_t>(first - sorted),
                                static_cast<std::size_t>(last - sorted), counts);
  }
}

// Positions in blocks handed out to the workers as they come free; each
// worker counts into its own tallies, which are integers, so the sum does
// not depend on which worker counted what.
template <std::size_t kCoordinates>
PartnerCounts countAllPartners(const TemplateGrid& grid, const ValueLevels& levels) {
  constexpr std::size_t kBlock = 256;
  constexpr std::size_t kTemplatesPerWorker = 4096;
  const std::size_t workers = std::max<std::size_t>(
      std::min<std::size_t>(std::thread::hardware_concurrency(), grid.size() / kTemplatesPerWorker),
      1);
  std::atomic<std::size_t> next = 0;
  const auto work = [&] {
    PartnerCounts counts(grid.size());
    for (std::size_t begin = next.fetch_add(kBlock); begin < grid.size();
         begin = next.fetch_add(kBlock)) {
      for (std::size_t p = begin; p < std::min(begin + kBlock, grid.size()); ++p)
        countFrom<kCoordinates>(grid, levels, p, counts);
    }
    return counts;
  };
  std::vector<std::future<PartnerCounts>> helpers;
  for (std::size_t w = 1; w < workers; ++w) helpers.push_back(std::async(std::launch::async, work));
  PartnerCounts counts = work();
  for (auto& helper : helpers) {
    const PartnerCounts more = helper.get();
    for (std::size_t p = 0; p < grid.size(); ++p) {
      counts.m[p] += more.m[p];
      counts.mPlus1[p] += more.mPlus1[p];
    }
  }
  return counts;
}

PartnerCounts countAllPartners(const TemplateGrid& grid, const ValueLevels& levels) {
  switch (grid.coordinates()) {
    case 2:
      return countAllPartners<2>(grid, levels);
    case 3:
      return countAllPartners<3>(grid, levels);
    case 4:
      return countAllPartners<4>(grid, levels);
    default:
      return countAllPartners<0>(grid, levels);
  }
}

}  // namespace

TemplateCounts countTemplates(std::span<const double> x, std::size_t m, double r, TieRule rule) {
  if (m < 1 || x.size() < m + 2) return {};
  const bool equalValuesMatch = within(0.0, r, rule);
  if (!equalValuesMatch || allEqual(x)) return countUniformly(x.size(), m, equalValuesMatch);
  const ValueLevels levels(x, r, rule);
  const TemplateGrid grid(x, m, r, levels);
  const PartnerCounts partners = countAllPartners(grid, levels);
  const std::size_t extendable = grid.size();
  std::vector<std::uint64_t> matchesM(extendable + 1, 1);
  std::vector<std::uint64_t> matchesMPlus1(extendable, 1);
  TemplateCounts counts;
  for (std::size_t p = 0; p < extendable; ++p) {
    const auto atM = static_cast<std::uint64_t>(partners.m[p]);
    const auto atMPlus1 = static_cast<std::uint64_t>(partners.mPlus1[p]);
    matchesM[grid.startOf(p)] += atM;
    matchesMPlus1[grid.startOf(p)] += atMPlus1;
    counts.pairsM += atM;
    counts.pairsMPlus1 += atMPlus1;
  }
  // Each pair was counted for both its templates.
  counts.pairsM /= 2;
  counts.pairsMPlus1 /= 2;
  // The last template of length m has no extension, so it is not in the grid.
  for (std::size_t t = 0; t < extendable; ++t) {
    if (!templatesMatch(x, t, extendable, m, r, rule)) continue;
    ++matchesM[t];
    ++matchesM[extendable];
  }
  counts.phiM = meanLogShare(matchesM);
  counts.phiMPlus1 = meanLogShare(matchesMPlus1);
  return counts;
}

TemplateCounts countTemplatesPairwise(std::span<const double> x, std::size_t m, double r,
                                      TieRule rule) {
  if (m < 1 || x.size() < m + 2) return {};
  const std::size_t extendable = x.size() - m;
  const auto matchesOf = [&](std::size_t i, std::size_t templates, std::size_t length) {
    std::uint64_t matches = 0;
    for (std::size_t j = 0; j < templates; ++j) matches += templatesMatch(x, i, j, length, r, rule);
    return matches;
  };
  std::vector<std::uint64_t> matchesM(extendable + 1);
  std::vector<std::uint64_t> matchesMPlus1(extendable);
  for (std::size_t i = 0; i <= extendable; ++i) matchesM[i] = matchesOf(i, extendable + 1, m);
  for (std::size_t i = 0; i < extendable; ++i) matchesMPlus1[i] = matchesOf(i, extendable, m + 1);
  TemplateCounts counts;
  for (std::size_t i = 0; i < extendable; ++i) {
    for (std::size_t j = i + 1; j < extendable; ++j) {
      counts.pairsM += templatesMatch(x, i, j, m, r, rule);
      counts.pairsMPlus1 += templatesMatch(x, i, j, m + 1, r, rule);
    }
  }
  counts.phiM = meanLogShare(matchesM);
  counts.phiMPlus1 = meanLogShare(matchesMPlus1);
  return counts;
}

}  // namespace rrscope::hrv
