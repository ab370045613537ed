#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editing/opened_recording.h"
#include "programs/memory_reuse.h"
#include "rrscope/version.h"
#include "ui/form1.h"
#include "ui/russian_dialogs.h"
#include "ui/window_accessibility.h"
#include "ui/window_command_line.h"

namespace {

using rrscope::ui::WindowCommandLine;

WindowCommandLine readArguments(const QStringList& arguments) {
  std::vector<std::string> texts;
  for (qsizetype i = 1; i < arguments.size(); ++i) texts.push_back(arguments[i].toStdString());
  const std::vector<std::string_view> views(texts.begin(), texts.end());
  return rrscope::ui::readWindowCommandLine(views);
}

// The exit status for the requests that open no window.
std::optional<int> answerWithoutWindow(const WindowCommandLine& line) {
  if (line.request == WindowCommandLine::Request::version) {
    std::printf("rrscope %.*s\n", static_cast<int>(rrscope::kVersion.size()),
                rrscope::kVersion.data());
    return 0;
  }
  if (line.request == WindowCommandLine::Request::help) {
    const std::string_view usage = rrscope::ui::windowUsageText();
    std::fwrite(usage.data(), 1, usage.size(), stdout);
    return 0;
  }
  if (line.request == WindowCommandLine::Request::badUsage) {
    std::fprintf(stderr, "rrscope: %s (see --help)\n", line.problem.c_str());
    return 2;
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
  rrscope::programs::keepFreedMemoryForReuse();
  // --version and --help answer before Qt starts, so that they need no
  // display; Qt's own options wait for the second reading.
  const std::vector<std::string_view> raw(argv + 1, argv + argc);
  const WindowCommandLine early = rrscope::ui::readWindowCommandLine(raw);
  if (early.request != WindowCommandLine::Request::badUsage) {
    if (const std::optional<int> status = answerWithoutWindow(early)) return *status;
  }
  QApplication application(argc, argv);
  rrscope::ui::installRussianQtTexts(application);
  rrscope::ui::exposeWindowsAsFrames();
  // Qt has taken its own options, such as -platform, out of the arguments.
  const WindowCommandLine line = readArguments(QApplication::arguments());
  if (const std::optional<int> status = answerWithoutWindow(line)) return *status;
  rrscope::Form1 window;
  // A recording opens in its own window; the analysis window waits hidden
  // until a stretch is sent to it.
  if (line.file && rrscope::editing::isRecordingFile(*line.file)) {
    window.openRecording(QString::fromStdString(*line.file));
    return QApplication::exec();
  }
  window.show();
  if (line.file) {
    // Once the window is on screen, as after a click on "Нажми меня".
    QTimer::singleShot(0, &window, [&window, file = *line.file] { window.openFile(file); });
  }
  return QApplication::exec();
}
