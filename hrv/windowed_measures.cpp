#include <algorithm>
#include <cmath>
#include <future>
#include <limits>
#include <string>
#include <thread>

#include "hrv/hrv_measures.h"

namespace rrscope::hrv {
namespace {

// Where each window's intervals lie in the series.
struct WindowRange {
  double startSeconds;
  double endSeconds;
  std::size_t first;
  std::size_t end;
};

// The windows (k step, k step + width] that the series fills, with the
// intervals whose end time lies in each.
std::vector<WindowRange> windowRanges(std::span<const double> endsMs, double endMs,
                                      const WindowSpec& windows) {
  std::vector<WindowRange> ranges;
  const double widthMs = windows.widthSeconds * 1000;
  const double stepMs = windows.stepSeconds * 1000;
  for (std::size_t k = 0;; ++k) {
    const double fromMs = static_cast<double>(k) * stepMs;
    const double toMs = fromMs + widthMs;
    if (toMs > endMs) break;
    // The first interval ending after fromMs, and the first ending after toMs.
    const auto first = std::upper_bound(endsMs.begin(), endsMs.end(), fromMs);
    const auto end = std::upper_bound(first, endsMs.end(), toMs);
    ranges.push_back({fromMs / 1000, toMs / 1000, static_cast<std::size_t>(first - endsMs.begin()),
                      static_cast<std::size_t>(end - endsMs.begin())});
  }
  return ranges;
}

// A day holds thousands of windows: each keeps its values only, not the
// spectra and histogram that would take some 100 kB apiece.
Measures valuesOnly(Measures measures) {
  measures.histogram = {};
  measures.triangle.reset();
  measures.spectrum = {};
  measures.arSpectrum = {};
  measures.lsSpectrum = {};
  measures.dfa = {};
  return measures;
}

std::string tooManyText(std::size_t count) {
  return std::to_string(count) + " windows, more than the " + std::to_string(kMaxWindows) +
         " one series may be cut into";
}

}  // namespace

TooManyWindows::TooManyWindows(std::size_t count)
    : std::length_error(tooManyText(count)), count_(count) {}

std::size_t windowCount(double totalMs, const WindowSpec& windows) {
  const double widthMs = windows.widthSeconds * 1000;
  const double stepMs = windows.stepSeconds * 1000;
  if (!(totalMs >= widthMs)) return 0;
  // In double first: a step of 1e-300 s makes a count no integer holds.
  const double count = std::floor((totalMs - widthMs) / stepMs) + 1;
  constexpr auto kMost = std::numeric_limits<std::size_t>::max();
  return count >= static_cast<double>(kMost) ? kMost : static_cast<std::size_t>(count);
}

// End times are the running sums in ms, as SDANN counts them, so that both
// agree at the borders.
std::vector<WindowMeasures> windowedMeasures(std::span<const double> intervalsMs,
                                             const WindowSpec& windows,
                                             const MeasureOptions& options,
                                             const WindowCheckpoint& checkpoint) {
  // An interval of 1e308 ms would make some 1e303 windows.
  if (!std::all_of(intervalsMs.begin(), intervalsMs.end(), isValidInterval)) return {};
  std::vector<double> endsMs(intervalsMs.size());
  double endMs = 0;
  for (std::size_t i = 0; i < intervalsMs.size(); ++i) endsMs[i] = endMs += intervalsMs[i];
  return windowedMeasures(intervalsMs, endsMs, endMs, windows, options, checkpoint);
}

std::vector<WindowMeasures> windowedMeasures(std::span<const double> intervalsMs,
                                             std::span<const double> endsMs, double totalMs,
                                             const WindowSpec& windows,
                                             const MeasureOptions& options,
                                             const WindowCheckpoint& checkpoint) {
  if (!(windows.widthSeconds > 0) || !(windows.stepSeconds > 0)) return {};
  if (!std::all_of(intervalsMs.begin(), intervalsMs.end(), isValidInterval)) return {};
  if (!std::isfinite(totalMs) ||
      !std::all_of(endsMs.begin(), endsMs.end(), [](double end) { return std::isfinite(end); })) {
    return {};
  }
  if (const std::size_t count = windowCount(totalMs, windows); count > kMaxWindows) {
    throw TooManyWindows(count);
  }
  const std::vector<WindowRange> ranges = windowRanges(endsMs, totalMs, windows);
  std::vector<WindowMeasures> measured(ranges.size());
  // The windows are independent: each worker takes every n-th one.
  const std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1,
                                                      std::max<std::size_t>(1, ranges.size()));
  std::vector<std::future<void>> running;
  for (std::size_t worker = 0; worker < workers; ++worker) {
    running.push_back(std::async(std::launch::async, [&, worker] {
      for (std::size_t k = worker; k < ranges.size(); k += workers) {
        const WindowRange& range = ranges[k];
        const auto window = intervalsMs.subspan(range.first, range.end - range.first);
        measured[k] = {range.startSeconds, range.endSeconds, window.size(),
                       valuesOnly(computeMeasures(window, options))};
        if (checkpoint) checkpoint();
      }
    }));
  }
  for (auto& worker : running) worker.get();
  return measured;
}

}  // namespace rrscope::hrv
