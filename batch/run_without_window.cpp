#include <optional>

#include "batch/file_runs.h"
#include "charts/recording_window.h"
#include "charts/run.h"

namespace rrscope::batch {
namespace {

// A surface that draws nothing.
class DiscardingSurface final : public ChartSurface {
 public:
  void Cls() override {}
  void DrawWidth(int) override {}
  void Line(float, float, float, float, Colour) override {}
  void CurrentX(float) override {}
  void CurrentY(float) override {}
  void Circle(float, Colour) override {}
  void Print(std::string_view) override {}
};

// The recording window with its surfaces optionally replaced by one that
// keeps nothing; texts, captions and the file dialog stay the same.
class FiguresWindow final : public RecordingWindow {
 public:
  explicit FiguresWindow(bool recordCharts) : recordCharts_(recordCharts) {}

  ChartSurface& surface(Picture picture) override {
    if (recordCharts_) return RecordingWindow::surface(picture);
    return discarded_;
  }

 private:
  bool recordCharts_;
  DiscardingSurface discarded_;
};

}  // namespace

void runWithoutWindow(std::string_view file, const ParameterTexts& parameters, bool recordCharts,
                      const OutcomeUse& use) {
  FiguresWindow window(recordCharts);
  AnalysisState state;
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    window.setText(static_cast<TextBox>(i), parameters[i]);
  }
  window.setNextFile(std::string(file));
  const std::optional<RunReport> error = runAnalysis(RunEntry::command1, state, window);

  std::array<const DisplayList*, 5> lists{};
  for (std::size_t i = 0; i < lists.size(); ++i) {
    lists[i] = &window.displayList(static_cast<Picture>(i));
  }
  use(RunOutcome{file, parameters, window, lists, state, error});
}

}  // namespace rrscope::batch
