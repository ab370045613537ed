#include "pipeline/blockwise_detection.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <future>
#include <span>
#include <thread>

#include "beats/physiology.h"
#include "beats/r_peak_detector.h"
#include "pipeline/lead_alignment.h"
#include "statistics/order_statistics.h"

namespace rrscope::pipeline {
namespace {

// Ten minutes a block keeps the detector's working set to some tens of
// megabytes at 1000 samples per second; a margin of 20 s gives the decision
// rules several of their 8-beat learning windows before the block starts.
constexpr double kBlockSeconds = 600.0;
constexpr double kMarginSeconds = 20.0;
// Each block learns its own beat shapes and chooses their fiducial points
// anew, and where a complex has two waves of about one size, two blocks may
// choose different ones. The beats both see in the margin after a block
// edge tell: matched within beats::kSameBeatSeconds they differ by the same
// amount, and the later block is moved by the median difference so that
// the whole recording keeps the first block's points. A difference under a
// sample is the alignment's rounding and moves nothing; fewer than five
// pairs, in a margin left unreadable, tell nothing.
constexpr std::size_t kLeastPairs = 5;
// The pairs must agree: two thirds of them within a sample of the median.
// Where a block's beats take two points by turns, its own shapes disagree
// and moving the block would not mend them.
constexpr double kAgreement = 1.0;

struct Block {
  std::int64_t begin;  // the samples whose peaks the block keeps
  std::int64_t end;
};

// What a block keeps, and the beats it saw in the margin after its end,
// which the next block keeps.
struct BlockBeats {
  beats::DetectedBeats kept;
  beats::DetectedBeats afterEnd;  // the beats only; their stretches are the next block's
};

BlockBeats detectInBlock(const beats::SampleSource& samples, double rate, Block block,
                         std::int64_t margin, const beats::DetectorTuning& tuning) {
  const std::int64_t first = std::max<std::int64_t>(0, block.begin - margin);
  const std::int64_t last = std::min(samples.size(), block.end + margin);
  const beats::SampleWindow window(samples, first, last - first);
  const beats::DetectedBeats found = beats::detectBeats(window, rate, tuning);
  const auto begin = static_cast<double>(block.begin);
  const auto end = static_cast<double>(block.end);
  const auto offset = static_cast<double>(first);
  BlockBeats result;
  for (const double peak : found.beats) {
    const double at = peak + offset;
    if (at >= begin && at < end) result.kept.beats.push_back(at);
    if (at >= end) result.afterEnd.beats.push_back(at);
  }
  for (const beats::SampleStretch& stretch : found.unreadable) {
    const double from = std::max(begin, stretch.begin + offset);
    const double to = std::min(end, stretch.end + offset);
    if (from < to) result.kept.unreadable.push_back({from, to});
  }
  return result;
}

// How far `later` must move to match the positions `earlier` gave the same
// beats: the median difference of the pairs within `reach`, or 0 when there
// are too few of them, they disagree, or the difference is under a sample.
double medianDifference(const beats::DetectedBeats& earlier, std::span<const double> later,
                        double reach) {
  // Earlier minus later: how far the later block must move. Every shared
  // beat counts, readable or not, as the two blocks placed it.
  const beats::DetectedBeats laterBeats{{later.begin(), later.end()}, {}};
  std::vector<double> differences = pairedDifferences(laterBeats, earlier, reach);
  for (double& d : differences) d = -d;
  if (differences.size() < kLeastPairs) return 0;
  const double median = statistics::upperMedian(differences);
  const auto agreeing = std::ranges::count_if(
      differences, [&](double d) { return std::abs(d - median) <= kAgreement; });
  if (3 * static_cast<std::size_t>(agreeing) < 2 * differences.size()) return 0;
  return std::abs(median) < kAgreement ? 0 : median;
}

// Moves each block after the first so that the beats it shares with the
// block before stand where that block put them.
void keepOneFiducialPoint(std::vector<BlockBeats>& blocks, double rate, double lastSample) {
  double shift = 0;  // of the block before, and then of this one
  for (std::size_t b = 1; b < blocks.size(); ++b) {
    // Both sides as their blocks found them: this block moves by what it
    // differs from the block before, and by what that one moved.
    shift += medianDifference(blocks[b - 1].afterEnd, blocks[b].kept.beats,
                              beats::kSameBeatSeconds * rate);
    if (shift == 0) continue;
    for (double& at : blocks[b].kept.beats) at = std::clamp(at + shift, 0.0, lastSample);
    for (beats::SampleStretch& stretch : blocks[b].kept.unreadable) {
      stretch.begin = std::clamp(stretch.begin + shift, 0.0, lastSample);
      stretch.end = std::clamp(stretch.end + shift, 0.0, lastSample);
    }
  }
}

// Stretches of neighbouring blocks that meet at a block edge become one.
void appendStretch(std::vector<beats::SampleStretch>& stretches, beats::SampleStretch next) {
  if (!stretches.empty() && next.begin <= stretches.back().end) {
    stretches.back().end = std::max(stretches.back().end, next.end);
  } else {
    stretches.push_back(next);
  }
}

}  // namespace

beats::DetectedBeats detectBeatsInBlocks(const beats::SampleSource& samples, double rate,
                                         const Progress& progress,
                                         const beats::DetectorTuning& tuning) {
  beats::checkDetectionRate(rate);  // before the blocks are sized by it
  const auto blockLength = static_cast<std::int64_t>(std::llround(kBlockSeconds * rate));
  const auto margin = static_cast<std::int64_t>(std::llround(kMarginSeconds * rate));
  // A short recording is one block: cutting it would only lose the margins.
  if (samples.size() <= blockLength + 2 * margin) return beats::detectBeats(samples, rate, tuning);

  std::vector<Block> blocks;
  for (std::int64_t begin = 0; begin < samples.size(); begin += blockLength) {
    blocks.push_back({begin, std::min(samples.size(), begin + blockLength)});
  }
  // Each worker takes every n-th block; the results keep the blocks' order.
  const std::size_t workers =
      std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, blocks.size());
  std::vector<BlockBeats> found(blocks.size());
  std::vector<std::future<void>> running;
  std::atomic<std::size_t> done = 0;
  for (std::size_t worker = 0; worker < workers; ++worker) {
    running.push_back(std::async(std::launch::async, [&, worker] {
      for (std::size_t b = worker; b < blocks.size(); b += workers) {
        found[b] = detectInBlock(samples, rate, blocks[b], margin, tuning);
        const std::size_t count = ++done;
        if (progress) progress(static_cast<double>(count) / static_cast<double>(blocks.size()));
      }
    }));
  }
  for (auto& worker : running) worker.get();
  keepOneFiducialPoint(found, rate, static_cast<double>(samples.size() - 1));

  beats::DetectedBeats merged;
  // Two peaks closer than the refractory period are one beat seen from both
  // sides of a block edge.
  const double refractory = beats::kRefractorySeconds * rate;
  for (const BlockBeats& block : found) {
    for (const double peak : block.kept.beats) {
      if (!merged.beats.empty() && peak - merged.beats.back() < refractory) continue;
      merged.beats.push_back(peak);
    }
    for (const beats::SampleStretch& stretch : block.kept.unreadable) {
      appendStretch(merged.unreadable, stretch);
    }
  }
  return merged;
}

std::vector<double> detectRPeaksInBlocks(const beats::SampleSource& samples, double rate) {
  return detectBeatsInBlocks(samples, rate).beats;
}

}  // namespace rrscope::pipeline
