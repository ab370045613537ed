// Times an analysis at full capacity: a 10,000,000-line ECG-like file is
// loaded, its peaks detected and its RR series formed, then the whole run is
// timed with every chart recorded. Prints medians and the peak resident memory.
//
//   rrscope_bench_analysis [--repeat N] [FILE]
//
// FILE is written first when it does not exist (default /tmp/rrscope-bench-10M.txt).
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "analysis/run_stages.h"
#include "charts/chart_stages.h"
#include "charts/recording_window.h"
#include "charts/run.h"
#include "examples/generator/ecg_signal.h"
#include "statistics/order_statistics.h"

namespace {

using rrscope::statistics::upperMedian;

using Clock = std::chrono::steady_clock;
constexpr long long kLines = 10'000'000;

double peakResidentMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double timeSeconds(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void ensureFile(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) return;
  std::printf("writing %lld lines to %s\n", kLines, path.c_str());
  std::ofstream out(path, std::ios::binary);
  rrscope::writeEcgSignal(out, kLines);
}

struct CoreTimes {
  double load = 0;
  double detect = 0;
  long long peaks = 0;
};

// Loading, detection and the RR series: the stages that turn a file into intervals.
CoreTimes loadAndDetect(const std::string& path) {
  rrscope::analysis::AnalysisState state;
  rrscope::charts::RecordingWindow window;
  window.setNextFile(path);
  rrscope::analysis::RunContext run{state, window, {}};
  CoreTimes times;
  times.load = timeSeconds([&] { rrscope::analysis::loadSampleFile(run); });
  times.detect = timeSeconds([&] {
    rrscope::analysis::readDetectionParameters(run);
    rrscope::analysis::detectPeaks(run);
    rrscope::analysis::formRRSeries(run);
  });
  times.peaks = run.values.peakEnd - 1;
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 7;
  std::string path = "/tmp/rrscope-bench-10M.txt";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--repeat" && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else {
      path = arg;
    }
  }
  ensureFile(path);
  struct stat info {};
  stat(path.c_str(), &info);
  const double fileMegabytes = static_cast<double>(info.st_size) / (1024.0 * 1024.0);

  std::vector<double> coreTimes;
  std::vector<double> loadTimes;
  std::vector<double> detectTimes;
  long long peaks = 0;
  for (int i = 0; i < repeat; ++i) {
    CoreTimes times;
    coreTimes.push_back(timeSeconds([&] { times = loadAndDetect(path); }));
    loadTimes.push_back(times.load);
    detectTimes.push_back(times.detect);
    peaks = times.peaks;
  }
  const double coreMemory = peakResidentMegabytes();
  std::printf("file: %s, %.1f MiB, %lld lines, %lld peaks\n", path.c_str(), fileMegabytes, kLines,
              peaks);
  std::printf("load + detect + RR series: median %.3f s over %d runs (min %.3f, max %.3f)\n",
              upperMedian(coreTimes), repeat, *std::min_element(coreTimes.begin(), coreTimes.end()),
              *std::max_element(coreTimes.begin(), coreTimes.end()));
  std::printf("  of which loading %.3f s, detection and RR series %.3f s (medians)\n",
              upperMedian(loadTimes), upperMedian(detectTimes));
  std::printf("peak resident memory so far: %.1f MiB (target below %.1f MiB)\n", coreMemory,
              1.5 * fileMegabytes + 50);

  std::vector<double> runTimes;
  std::vector<double> chartTimes;
  for (int i = 0; i < repeat; ++i) {
    rrscope::analysis::AnalysisState state;
    rrscope::charts::RecordingWindow window;
    window.setNextFile(path);
    std::optional<rrscope::analysis::RunReport> report;
    runTimes.push_back(timeSeconds([&] {
      report = rrscope::charts::runAnalysis(rrscope::charts::RunEntry::command1, state, window);
    }));
    if (report) {
      std::printf("the run stopped in %s with %s\n", report->stage.c_str(),
                  std::string(rrscope::analysis::errorKindKey(report->kind())).c_str());
      return 1;
    }
    // The same samples again without loading, to separate the chart stages.
    rrscope::analysis::RunContext run{state, window, {}};
    double detection = 0;
    double whole = timeSeconds([&] {
      rrscope::analysis::takeSampleCount(run);
      rrscope::charts::clearCharts(run);
      detection = timeSeconds([&] {
        rrscope::analysis::readDetectionParameters(run);
        rrscope::analysis::detectPeaks(run);
        rrscope::analysis::formRRSeries(run);
      });
      for (const rrscope::charts::Stage& stage : rrscope::charts::runStages().subspan(8))
        stage.execute(run);
    });
    chartTimes.push_back(whole - detection);
  }
  std::printf("whole Command1 run, charts recorded: median %.3f s\n", upperMedian(runTimes));
  std::printf("chart and statistics stages alone: median %.3f s\n", upperMedian(chartTimes));
  std::printf("peak resident memory: %.1f MiB\n", peakResidentMegabytes());
  return 0;
}
