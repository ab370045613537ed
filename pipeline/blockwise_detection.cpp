#include "pipeline/blockwise_detection.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <future>
#include <thread>

#include "beats/r_peak_detector.h"

namespace rrscope::pipeline {
namespace {

// Ten minutes a block keeps the detector's working set to some tens of
// megabytes at 1000 samples per second; a margin of 20 s gives the decision
// rules several of their 8-beat learning windows before the block starts.
constexpr double kBlockSeconds = 600.0;
constexpr double kMarginSeconds = 20.0;
// Two peaks closer than the detector's refractory period are one beat seen
// from both sides of a block edge.
constexpr double kRefractorySeconds = 0.2;

struct Block {
  std::int64_t begin;  // the samples whose peaks the block keeps
  std::int64_t end;
};

beats::DetectedBeats detectInBlock(const beats::SampleSource& samples, double rate, Block block,
                                   std::int64_t margin) {
  const std::int64_t first = std::max<std::int64_t>(0, block.begin - margin);
  const std::int64_t last = std::min(samples.size(), block.end + margin);
  const beats::SampleWindow window(samples, first, last - first);
  const beats::DetectedBeats found = beats::detectBeats(window, rate);
  const auto begin = static_cast<double>(block.begin);
  const auto end = static_cast<double>(block.end);
  const auto offset = static_cast<double>(first);
  beats::DetectedBeats kept;
  for (const double peak : found.beats) {
    const double at = peak + offset;
    if (at >= begin && at < end) kept.beats.push_back(at);
  }
  for (const beats::SampleStretch& stretch : found.unreadable) {
    const double from = std::max(begin, stretch.begin + offset);
    const double to = std::min(end, stretch.end + offset);
    if (from < to) kept.unreadable.push_back({from, to});
  }
  return kept;
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
                                         const Progress& progress) {
  beats::checkDetectionRate(rate);  // before the blocks are sized by it
  const auto blockLength = static_cast<std::int64_t>(std::llround(kBlockSeconds * rate));
  const auto margin = static_cast<std::int64_t>(std::llround(kMarginSeconds * rate));
  // A short recording is one block: cutting it would only lose the margins.
  if (samples.size() <= blockLength + 2 * margin) return beats::detectBeats(samples, rate);

  std::vector<Block> blocks;
  for (std::int64_t begin = 0; begin < samples.size(); begin += blockLength) {
    blocks.push_back({begin, std::min(samples.size(), begin + blockLength)});
  }
  // Each worker takes every n-th block; the results keep the blocks' order.
  const std::size_t workers =
      std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, blocks.size());
  std::vector<beats::DetectedBeats> found(blocks.size());
  std::vector<std::future<void>> running;
  std::atomic<std::size_t> done = 0;
  for (std::size_t worker = 0; worker < workers; ++worker) {
    running.push_back(std::async(std::launch::async, [&, worker] {
      for (std::size_t b = worker; b < blocks.size(); b += workers) {
        found[b] = detectInBlock(samples, rate, blocks[b], margin);
        const std::size_t count = ++done;
        if (progress) progress(static_cast<double>(count) / static_cast<double>(blocks.size()));
      }
    }));
  }
  for (auto& worker : running) worker.get();

  beats::DetectedBeats merged;
  const double refractory = kRefractorySeconds * rate;
  for (const beats::DetectedBeats& block : found) {
    for (const double peak : block.beats) {
      if (!merged.beats.empty() && peak - merged.beats.back() < refractory) continue;
      merged.beats.push_back(peak);
    }
    for (const beats::SampleStretch& stretch : block.unreadable) {
      appendStretch(merged.unreadable, stretch);
    }
  }
  return merged;
}

std::vector<double> detectRPeaksInBlocks(const beats::SampleSource& samples, double rate) {
  return detectBeatsInBlocks(samples, rate).beats;
}

}  // namespace rrscope::pipeline
