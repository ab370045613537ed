#include "ui/recording/stretch_charts_view.h"

#include <QPainter>

#include "report/report_charts.h"
#include "report/window_strips.h"

namespace rrscope::ui {
namespace {

// The report's charts are laid out in points; on screen they read best a
// little larger than a point a pixel.
constexpr double kPixelsPerPoint = 1.25;

}  // namespace

StretchChartsView::StretchChartsView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("stretchCharts"));
  setAccessibleName(QStringLiteral("Спектры Уэлча и AR и скаттерграмма Пуанкаре отрезка"));
  setMinimumSize(300, 200);
}

QSize StretchChartsView::sizeHint() const {
  return {440, 560};
}

void StretchChartsView::showStretch(std::vector<double> nnMs, const hrv::Measures& measures,
                                    const hrv::MeasureOptions& options) {
  content_.nnMs = std::move(nnMs);
  content_.measures = measures;
  content_.spectrumNote = report::spectrumNote(options);
  update();
}

// The spectra above, the diagram below, each in half the height.
void StretchChartsView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), Qt::white);
  painter.scale(kPixelsPerPoint, kPixelsPerPoint);
  const QRectF page(4, 4, width() / kPixelsPerPoint - 8, height() / kPixelsPerPoint - 8);
  const QRectF top(page.left(), page.top(), page.width(), page.height() / 2 - 4);
  const QRectF bottom(page.left(), page.top() + page.height() / 2 + 4, page.width(),
                      page.height() / 2 - 4);
  report::drawSpectrum(painter, top, content_);
  report::drawPoincare(painter, bottom, content_);
}

}  // namespace rrscope::ui
