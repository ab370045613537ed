// Times the window "Запись ЭКГ" on a long recording, offscreen: opening it
// until its tachogram is drawn, drawing a 60 s strip of the ECG, and one
// beat edit with everything it updates (the tachogram's series, the strip
// and the measures of the stretch, here the whole recording).
//
//   rrscope_bench_recording_window RECORD.hea [RUNS]
//
// Prints the median and the slowest of RUNS runs of each.
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "editing/beat_list.h"
#include "programs/memory_reuse.h"
#include "statistics/order_statistics.h"
#include "ui/recording/ecg_recording_window.h"
#include "ui/recording/ecg_strip_view.h"
#include "ui/recording/tachogram_view.h"
#include "ui/recording/window_strip_view.h"

namespace {

using rrscope::ui::EcgRecordingWindow;

struct Times {
  std::vector<double> ms;
  double median() const { return rrscope::statistics::upperMedian(ms); }
  double slowest() const { return *std::ranges::max_element(ms); }
};

void print(const char* what, Times& times) {
  std::printf("%-44s median %9.2f ms, slowest %9.2f ms over %zu runs\n", what, times.median(),
              times.slowest(), times.ms.size());
}

std::unique_ptr<EcgRecordingWindow> openWindow(const QString& file, double& elapsedMs) {
  auto window = std::make_unique<EcgRecordingWindow>(nullptr);
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->setDialogs({{}, [](const QString&) { return false; }, {}, {}});
  window->show();
  QElapsedTimer timer;
  timer.start();
  window->openFile(file);
  if (!QTest::qWaitFor([&] { return window->isLoaded(); }, 120000)) return nullptr;
  window->tachogram().repaint();
  elapsedMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
  return window;
}

bool waitForMeasures(const EcgRecordingWindow& window) {
  if (QTest::qWaitFor([&] { return window.measuresAreComplete(); }, 60000)) return true;
  std::fprintf(stderr, "the measures were not complete after 60 s of waiting\n");
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: rrscope_bench_recording_window RECORD.hea [RUNS]\n");
    return 2;
  }
  rrscope::programs::keepFreedMemoryForReuse();  // as the program does
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const QString file = QString::fromLocal8Bit(argv[1]);
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

  Times opening;
  std::unique_ptr<EcgRecordingWindow> window;
  for (int run = 0; run < runs; ++run) {
    window.reset();
    double ms = 0;
    window = openWindow(file, ms);
    if (!window) {
      std::fprintf(stderr, "%s could not be opened\n", argv[1]);
      return 1;
    }
    opening.ms.push_back(ms);
  }
  const rrscope::editing::BeatList& beats = *window->beats();
  std::printf("%s: %.0f s, %zu beats\n", argv[1],
              static_cast<double>(beats.sampleCount()) / beats.rate(), beats.size());
  print("open until the tachogram is drawn", opening);

  rrscope::ui::EcgStripView& strip = window->strip();
  strip.setWidthSeconds(rrscope::ui::EcgStripView::kWidestSeconds);
  Times drawing, scrolling;
  const auto steps = static_cast<double>(beats.sampleCount()) / (10 * runs + 1);
  for (int run = 0; run < 10 * runs; ++run) {
    // The strip alone: what the scroll left for the other views is drawn first.
    strip.scrollTo(run * steps);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    strip.repaint();
    drawing.ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    // A scroll as the user sees it: the strip, the scroll bar and the
    // tachogram's cursor redrawn.
    timer.restart();
    strip.scrollTo(run * steps + strip.widthSamples());
    window->repaint();
    scrolling.ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::printf("strip %d x %d pixels, window %d x %d\n", strip.width(), strip.height(),
              window->width(), window->height());
  print("draw a 60 s strip", drawing);
  print("scroll by 60 s, the whole window redrawn", scrolling);

  Times editing, completing;
  for (int run = 0; run < 2 * runs + 1; ++run) {
    const std::size_t index = beats.size() / 2 + static_cast<std::size_t>(run);
    strip.selectBeat(index);
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(&strip, Qt::Key_Delete);
    editing.ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    if (!QTest::qWaitFor([&] { return window->measuresAreComplete(); }, 60000)) {
      std::fprintf(stderr, "the measures were not complete after 60 s of waiting\n");
      return 1;
    }
    completing.ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    window->undo();
    if (!QTest::qWaitFor([&] { return window->measuresAreComplete(); }, 60000)) {
      std::fprintf(stderr, "the measures were not complete after an undo and 60 s of waiting\n");
      return 1;
    }
  }
  print("delete one beat: strip, tachogram, measures", editing);
  print("  ... and the entropies and DFA from the worker", completing);

  // A level with a threshold and back: the series and every view again.
  Times switching;
  for (int run = 0; run < 2 * runs; ++run) {
    const auto level = run % 2 == 0 ? rrscope::beats::CorrectionLevel::medium
                                    : rrscope::beats::CorrectionLevel::automatic;
    QElapsedTimer timer;
    timer.start();
    window->setCorrectionLevel(level);
    switching.ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    if (!waitForMeasures(*window)) return 1;
  }
  print("switch the correction level", switching);

  // A mark dragged 40 ms and dropped, snapping to its QRS complex.
  Times dragging;
  strip.setWidthSeconds(rrscope::ui::EcgStripView::kNarrowestSeconds);
  for (int run = 0; run < 2 * runs + 1; ++run) {
    const std::size_t index = beats.size() / 3 + static_cast<std::size_t>(run);
    const double at = beats.positions()[index];
    strip.centreOn(at);
    QCoreApplication::processEvents();
    const QPoint from(static_cast<int>(std::lround(strip.xOf(at))), 40);
    const QPoint to(static_cast<int>(std::lround(strip.xOf(at + 0.04 * beats.rate()))), 40);
    QElapsedTimer timer;
    timer.start();
    QTest::mousePress(&strip, Qt::LeftButton, {}, from);
    QTest::mouseMove(&strip, to);
    QTest::mouseRelease(&strip, Qt::LeftButton, {}, to);
    dragging.ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    if (!window->beats()->canUndo()) {
      std::fprintf(stderr, "the dragged mark moved no beat\n");
      return 1;
    }
    if (!waitForMeasures(*window)) return 1;
    window->undo();
    if (!waitForMeasures(*window)) return 1;
  }
  print("drag a beat's mark: snap, strip, tachogram, measures", dragging);

  // Two samples of an hour each, kept and then measured together.
  Times adding, combining;
  for (int run = 0; run < runs; ++run) {
    const double hour = 3600 * beats.rate();
    QElapsedTimer timer;
    for (const double start : {2 * hour, 14 * hour}) {
      window->setStretch({start, start + hour});
      if (!waitForMeasures(*window)) return 1;
      timer.start();
      window->addSample();
      adding.ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    timer.start();
    window->chooseSample(window->samples().size());
    combining.ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    if (!waitForMeasures(*window)) return 1;
    while (!window->samples().empty()) window->removeSample(0);
  }
  print("add the stretch as a sample", adding);
  print("measure two one-hour samples together", combining);

  // The strip of a measure over the day's 5-minute windows, made and drawn.
  for (const auto& [measure, name] : {std::pair(rrscope::hrv::Measure::rmssd, "RMSSD"),
                                      std::pair(rrscope::hrv::Measure::lfHf, "LF/HF"),
                                      std::pair(rrscope::hrv::Measure::dfaAlpha1, "DFA alpha1")}) {
    Times asking, striping;
    QSignalSpy spy(window.get(), &EcgRecordingWindow::windowStripShown);
    for (int run = 0; run < runs; ++run) {
      window->setWindowMeasure(std::nullopt);
      QCoreApplication::processEvents();
      QElapsedTimer timer;
      timer.start();
      window->setWindowMeasure(measure);
      asking.ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
      if (!spy.wait(60000)) {
        std::fprintf(stderr, "the strip of windows did not come within 60 s\n");
        return 1;
      }
      window->windowStrip().repaint();
      striping.ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    const std::string what = std::string("windows of the day as a strip: ") + name;
    print(what.c_str(), asking);
    print("  ... drawn once the worker has them", striping);
  }
  return 0;
}
