#include "ui/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace rrscope::ui {

void paintApplicationIcon(QPainter& painter, double size) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  const double unit = size / 16.0;

  // Casing with a small stand below it.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(90, 94, 102));
  painter.drawRoundedRect(QRectF(0.5 * unit, 1 * unit, 15 * unit, 11.5 * unit), unit, unit);
  painter.drawRect(QRectF(6.5 * unit, 12.5 * unit, 3 * unit, 1.5 * unit));
  painter.drawRoundedRect(QRectF(4 * unit, 14 * unit, 8 * unit, 1.5 * unit), 0.5 * unit,
                          0.5 * unit);

  // The screen.
  const QRectF screen(1.5 * unit, 2 * unit, 13 * unit, 9.5 * unit);
  painter.setBrush(QColor(12, 20, 16));
  painter.drawRect(screen);

  // One beat: baseline, a small P wave, the tall R spike, a T wave.
  constexpr std::array<QPointF, 10> kTrace = {{{0.00, 0.60},
                                               {0.22, 0.60},
                                               {0.30, 0.52},
                                               {0.38, 0.60},
                                               {0.45, 0.60},
                                               {0.52, 0.05},
                                               {0.60, 0.90},
                                               {0.66, 0.60},
                                               {0.80, 0.48},
                                               {1.00, 0.60}}};
  QPainterPath trace;
  for (std::size_t i = 0; i < kTrace.size(); ++i) {
    const QPointF point(screen.left() + kTrace[i].x() * screen.width(),
                        screen.top() + kTrace[i].y() * screen.height());
    if (i == 0) {
      trace.moveTo(point);
    } else {
      trace.lineTo(point);
    }
  }
  QPen pen(QColor(60, 230, 90));
  pen.setWidthF(std::max(1.0, 1.1 * unit));
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(trace);
}

namespace {

QPixmap monitorPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  paintApplicationIcon(painter, size);
  return pixmap;
}

}  // namespace

QIcon applicationIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48}) icon.addPixmap(monitorPixmap(size));
  return icon;
}

}  // namespace rrscope::ui
