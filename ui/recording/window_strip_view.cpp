#include "ui/recording/window_strip_view.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "report/plot_frame.h"
#include "ui/recording/tachogram_view.h"

namespace rrscope::ui {
namespace {

constexpr double kTopMargin = 4;
constexpr double kBottomMargin = 4;

}  // namespace

WindowStripView::WindowStripView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("windowStrip"));
  setAccessibleName(QStringLiteral("Показатель по окнам записи"));
}

QSize WindowStripView::sizeHint() const {
  return {900, 80};
}

QSize WindowStripView::minimumSizeHint() const {
  return {300, 50};
}

void WindowStripView::showPoints(std::vector<Point> points, double totalSeconds,
                                 const QString& caption) {
  points_ = std::move(points);
  totalSeconds_ = totalSeconds;
  caption_ = caption;
  setAccessibleDescription(QStringLiteral("%1 по окнам 5 мин с шагом 30 с").arg(caption));
  update();
}

void WindowStripView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  const QRectF plot(
      TachogramView::kLeftMargin, kTopMargin,
      std::max(1.0, width() - TachogramView::kLeftMargin - TachogramView::kRightMargin),
      std::max(1.0, height() - kTopMargin - kBottomMargin));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(plot);
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(plot.adjusted(4, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop, caption_);
  double low = INFINITY, high = -INFINITY;
  for (const Point& point : points_) {
    if (!point.value) continue;
    low = std::min(low, *point.value);
    high = std::max(high, *point.value);
  }
  if (low > high || totalSeconds_ <= 0) {
    painter.drawText(plot, Qt::AlignCenter, QStringLiteral("нет окон с этим показателем"));
    return;
  }
  if (high - low < 1e-9) low -= 1, high += 1;
  const report::AxisRange range = report::roundedOut({low, high}, 3);
  const QFontMetricsF metrics(font());
  for (const double tick : {range.low, range.high}) {
    const double y = plot.bottom() - (tick - range.low) / (range.high - range.low) * plot.height();
    painter.drawText(QRectF(0, y - metrics.height() / 2, plot.left() - 5, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(tick, 'g', 3));
  }
  const auto at = [&](const Point& point) {
    return QPointF(
        plot.left() + point.seconds / totalSeconds_ * plot.width(),
        plot.bottom() - (*point.value - range.low) / (range.high - range.low) * plot.height());
  };
  painter.setPen(QPen(QColor(20, 70, 160), 1));
  QPolygonF line;
  for (const Point& point : points_) {
    if (!point.value) {
      if (line.size() > 1) painter.drawPolyline(line);
      line.clear();
      continue;
    }
    line << at(point);
  }
  if (line.size() > 1) painter.drawPolyline(line);
  if (line.size() == 1) painter.drawPoint(line.front());
}

}  // namespace rrscope::ui
