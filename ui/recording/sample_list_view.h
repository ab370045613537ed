#pragma once

#include <QWidget>
#include <span>

#include "beats/detected_beats.h"

class QListWidget;

namespace rrscope::ui {

// The analysis samples of a recording, each listed with its start and
// length, and last "все выборки вместе", their combination as one sample.
// Choosing a row asks for that sample's measures; the buttons ask to add
// the stretch as a sample and to remove the chosen one.
class SampleListView : public QWidget {
  Q_OBJECT

 public:
  explicit SampleListView(QWidget* parent);

  // The samples, in samples at `rate`; `chosen` is the row to select (none
  // for -1), the combination being the row after the last sample.
  void showSamples(std::span<const beats::SampleStretch> samples, double rate, int chosen);

 signals:
  void addRequested();
  void removeRequested(int index);
  // A sample chosen by its index, or the combination by the count of
  // samples.
  void chosen(int index);

 private:
  QListWidget* list_ = nullptr;
};

}  // namespace rrscope::ui
