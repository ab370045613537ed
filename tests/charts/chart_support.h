#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analysis/run_error.h"
#include "analysis/run_values.h"
#include "charts/chart_stages.h"
#include "charts/recording_window.h"

namespace rrscope::chart_tests {

using Point = std::pair<double, double>;

// A recorded chart replayed into plain values for assertions.
struct Drawing final : charts::ChartSurface {
  std::vector<Point> red;   // centres of the red circles
  std::vector<Point> bars;  // (x, top) of every vertical line
  std::vector<std::pair<Point, std::string>> texts;
  Point at;

  explicit Drawing(const charts::DisplayList& list) { list.replay(*this); }
  void Cls() override {}
  void DrawWidth(int) override {}
  void Line(float x1, float y1, float x2, float, charts::Colour) override {
    if (x1 == x2) bars.emplace_back(x1, y1);
  }
  void CurrentX(float x) override { at.first = x; }
  void CurrentY(float y) override { at.second = y; }
  void Circle(float, charts::Colour c) override {
    if (c == charts::kRed) red.push_back(at);
  }
  void Print(std::string_view text) override { texts.emplace_back(at, text); }
};

// A window, its state and a run in mid-flight, for calling one stage by hand.
struct StageRun {
  analysis::AnalysisState state;
  charts::RecordingWindow window;
  analysis::RunContext run{state, window, analysis::RunValues{}};

  // An analysed series of these intervals in samples, with the peaks around
  // it as detection leaves them: the last peak closes no analysed interval.
  void setIntervals(const std::vector<double>& intervals) {
    double peak = 1;
    state.PeakTimes.set(1, peak);
    for (std::size_t i = 0; i < intervals.size(); ++i) {
      state.RRIntervals.set(std::int64_t(i) + 1, intervals[i]);
      state.PeakTimes.set(std::int64_t(i) + 2, peak += intervals[i]);
    }
    state.PeakTimes.set(std::int64_t(intervals.size()) + 2, peak + 6000);
    run.values.peakEnd = std::int64_t(intervals.size()) + 3;
  }
  Drawing drawing(analysis::Picture picture) const { return Drawing(window.displayList(picture)); }
  std::optional<analysis::ErrorKind> stopOf(void (*stage)(analysis::RunContext&)) {
    try {
      stage(run);
    } catch (const analysis::RunError& error) {
      return error.kind();
    }
    return std::nullopt;
  }
};

// A sample file of `lines` lines holding "1" at the `peaks` and "0" elsewhere.
inline std::filesystem::path writePeakFile(const std::string& name, std::int64_t lines,
                                           const std::set<std::int64_t>& peaks) {
  const auto path = std::filesystem::temp_directory_path() / ("rrscope-charts-" + name + ".txt");
  std::ofstream out(path, std::ios::binary);
  for (std::int64_t i = 1; i <= lines; ++i) out << (peaks.contains(i) ? "1\n" : "0\n");
  return path;
}

}  // namespace rrscope::chart_tests
