#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "hrv/hrv_measures.h"
#include "ui/measure_table_widget.h"

class QLabel;

namespace rrscope::ui {

// The non-modal window "Показатели ВСР": the variability measures of the RR
// series of the last completed run, one row each, with buttons that copy the
// table and save it as CSV. The measures are computed when the window is
// shown, so runs made while it is closed cost nothing.
class MeasuresWindow : public QWidget {
  Q_OBJECT

 public:
  explicit MeasuresWindow(QWidget* parent);

  // A run completed with these intervals (in ms).
  void showCompletedRun(std::vector<double> intervalsMs);
  // A run stopped with an error: the measures stay those of the last
  // completed run, and the window says so.
  void showStoppedRun(const QString& message);

  // Replaces the save dialog: the chooser returns the file name, empty for a cancel.
  void setSaveChooser(std::function<QString()> chooser);

  const MeasureTableWidget& table() const { return *table_; }
  QString statusText() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void buildLayout();
  void refreshIfStale();
  void updateStatus();
  void copyTable() const;
  void saveCsv();

  std::vector<double> intervalsMs_;
  hrv::Measures measures_;
  bool completedRun_ = false;
  bool stale_ = true;
  QString stoppedMessage_;
  QLabel* status_ = nullptr;
  MeasureTableWidget* table_ = nullptr;
  std::function<QString()> saveChooser_;
};

}  // namespace rrscope::ui
