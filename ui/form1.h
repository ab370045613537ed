#pragma once

#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/analysis_state.h"
#include "analysis/run_error.h"
#include "analysis/run_window.h"
#include "charts/display_list.h"
#include "charts/run.h"

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace rrscope {

namespace ui {
class ChartBox;
class EcgRecordingWindow;
class MeasuresWindow;
}  // namespace ui

// The program's only window. It carries every parameter, figure and chart,
// owns the analysis state, and does all its work in the click handlers of
// its buttons: the two run buttons, the parameter steps and restore, and the
// debug pager. A run reaches the window only through RunWindow.
class Form1 : public QWidget, public analysis::RunWindow {
  Q_OBJECT

 public:
  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  // RunWindow
  std::string text(analysis::TextBox box) const override;
  void setText9(std::string_view text) override;
  std::string caption(analysis::Caption label) const override;
  void setCaption(analysis::Caption label, std::string_view text) override;
  void enableRefresh() override;
  std::string chooseSampleFile() override;
  charts::ChartSurface& surface(analysis::Picture picture) override;

  // Replaces the file-open dialog: the chooser returns the file name, empty
  // for a cancel.
  void setFileChooser(std::function<std::string()> chooser);
  // Replaces the error message box.
  void setErrorReporter(std::function<void(const analysis::RunReport&)> reporter);

  // Runs `file` as "Нажми меня" does when the dialog answers with it: the
  // way a file given on the command line or by a file manager is opened.
  void openFile(std::string_view file);

  const charts::DisplayList& displayList(analysis::Picture picture) const;
  const analysis::AnalysisState& analysisState() const;

  // The window of the variability measures; the background's context menu
  // or F2 opens it.
  ui::MeasuresWindow& measuresWindow() const;
  void openMeasuresWindow();

  // Opens a recording (EDF, BDF, WFDB or RR file) in a window "Запись ЭКГ"
  // of its own, whose stretches come back here as text files.
  ui::EcgRecordingWindow* openRecording(const QString& file);
  // Asks for a file with "Открыть запись…" (Ctrl+O): a recording opens in
  // its window, a text file of samples here, as with "Нажми меня".
  void chooseRecording();
  // Replaces the dialog of "Открыть запись…": the chooser returns the file
  // name, empty for a cancel.
  void setRecordingChooser(std::function<QString()> chooser);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void buildControls();
  void nameControls();
  // Tells a screen reader what each chart shows after a run.
  void describeCharts(const std::optional<analysis::RunReport>& stopped);
  void connectButtons();
  QWidget* control(std::string_view name) const;
  QLabel* label(std::string_view name) const;

  // Click handlers.
  void startRun(charts::RunEntry entry);
  void stepParameter(analysis::TextBox box, double step);
  void restoreDefaults();
  void nextDebugPage();
  void previousDebugPage();

  void setTextBox(analysis::TextBox box, std::string_view text);
  void refreshDebugFrame();
  void showDrawings();
  void reportError(const analysis::RunReport& report);
  void updateMeasures(const std::optional<analysis::RunReport>& report);

  analysis::AnalysisState state_;
  std::array<QLineEdit*, 9> textBoxes_{};
  std::array<QLabel*, 6> captionLabels_{};
  std::array<ui::ChartBox*, 5> charts_{};
  QPushButton* command2_ = nullptr;
  ui::MeasuresWindow* measuresWindow_ = nullptr;
  QMenu* backgroundMenu_ = nullptr;
  std::function<QString()> recordingChooser_;
  std::function<std::string()> fileChooser_;
  std::function<void(const analysis::RunReport&)> errorReporter_;
  // The recording windows: windows of their own, so that the program ends
  // when the last visible one closes, deleted with this one if still open.
  std::vector<QPointer<ui::EcgRecordingWindow>> recordingWindows_;
  // The answer the next dialog gives without showing itself.
  std::optional<std::string> presetChoice_;
};

}  // namespace rrscope
