#pragma once

#include <QTableWidget>

#include "hrv/hrv_measures.h"

namespace rrscope::ui {

// The table of "Показатели ВСР": one read-only row per measure with its
// Russian name, value and unit, the explanation as each row's tooltip.
class MeasureTableWidget : public QTableWidget {
  Q_OBJECT

 public:
  explicit MeasureTableWidget(QWidget* parent);

  void showMeasures(const hrv::Measures& measures);
};

}  // namespace rrscope::ui
