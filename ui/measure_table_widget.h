#pragma once

#include <QTableWidget>
#include <span>

#include "hrv/hrv_measures.h"

namespace rrscope::ui {

// The table of "Показатели ВСР": one read-only row per measure with its
// Russian name, value and unit, the explanation as each row's tooltip,
// under a heading row for each group of measures.
class MeasureTableWidget : public QTableWidget {
  Q_OBJECT

 public:
  explicit MeasureTableWidget(QWidget* parent);

  void showMeasures(const hrv::Measures& measures);
  // Says that these measures are still being computed.
  void markComputing(std::span<const hrv::Measure> measures);

  // The row of a measure, below the headings before it.
  int rowOf(hrv::Measure measure) const;

 private:
  void addHeading(int row, const QString& title);
};

}  // namespace rrscope::ui
