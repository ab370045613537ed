#pragma once

#include <QWidget>
#include <vector>

#include "hrv/hrv_measures.h"
#include "report/report_content.h"

namespace rrscope::ui {

// The Welch and AR spectra and the Poincaré diagram of the analysis
// stretch, drawn as the report draws them.
class StretchChartsView : public QWidget {
  Q_OBJECT

 public:
  explicit StretchChartsView(QWidget* parent);

  void showStretch(std::vector<double> nnMs, const hrv::Measures& measures,
                   const hrv::MeasureOptions& options);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  report::ReportContent content_;
};

}  // namespace rrscope::ui
