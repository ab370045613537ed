#include <optional>

#include "batch/file_runs.h"
#include "charts/recording_window.h"
#include "charts/run.h"

namespace rrscope::batch {
namespace {

// A surface that draws nothing.
class DiscardingSurface final : public charts::ChartSurface {
 public:
  void Cls() override {}
  void DrawWidth(int) override {}
  void Line(float, float, float, float, charts::Colour) override {}
  void CurrentX(float) override {}
  void CurrentY(float) override {}
  void Circle(float, charts::Colour) override {}
  void Print(std::string_view) override {}
};

// The recording window with its surfaces optionally replaced by one that
// keeps nothing; texts, captions and the file dialog stay the same.
class FiguresWindow final : public charts::RecordingWindow {
 public:
  explicit FiguresWindow(bool recordCharts) : recordCharts_(recordCharts) {}

  charts::ChartSurface& surface(analysis::Picture picture) override {
    if (recordCharts_) return charts::RecordingWindow::surface(picture);
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
  analysis::AnalysisState state;
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    window.setText(static_cast<analysis::TextBox>(i), parameters[i]);
  }
  window.setNextFile(std::string(file));
  const std::optional<analysis::RunReport> error =
      charts::runAnalysis(charts::RunEntry::command1, state, window);

  std::array<const charts::DisplayList*, 5> lists{};
  for (std::size_t i = 0; i < lists.size(); ++i) {
    lists[i] = &window.displayList(static_cast<analysis::Picture>(i));
  }
  use(RunOutcome{file, parameters, window, lists, state, error});
}

}  // namespace rrscope::batch
