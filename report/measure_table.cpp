#include <QFontMetricsF>

#include "hrv/measure_catalogue.h"
#include "report/measure_names.h"
#include "report/plot_frame.h"
#include "report/report_charts.h"

namespace rrscope::report {
namespace {

const MeasureGroup* groupStartingAt(hrv::Measure measure) {
  for (const MeasureGroup& group : measureGroups()) {
    if (group.first == measure) return &group;
  }
  return nullptr;
}

}  // namespace

void drawMeasureTable(QPainter& painter, QRectF area, const ReportContent& content) {
  painter.save();
  painter.setPen(Qt::black);
  painter.setFont(reportFont(8.5, true));
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Показатели вариабельности"));
  const double rows = static_cast<double>(hrv::kMeasureCount + measureGroups().size());
  const double top = area.top() + 15;
  const double rowHeight = std::min(13.0, (area.bottom() - top) / rows);
  const double valueRight = area.left() + area.width() * 0.80;
  const double unitLeft = valueRight + 5;

  double y = top;
  for (const hrv::Measure measure : hrv::allMeasures()) {
    if (const MeasureGroup* group = groupStartingAt(measure)) {
      painter.setFont(reportFont(7.2, true));
      painter.setPen(QColor(40, 60, 110));
      painter.drawText(QRectF(area.left(), y, area.width(), rowHeight),
                       Qt::AlignLeft | Qt::AlignBottom, QString::fromUtf8(group->title));
      y += rowHeight;
      painter.setPen(QPen(QColor(160, 170, 200), 0.4));
      painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    }
    const hrv::MeasureEntry& entry = hrv::measureEntry(measure);
    const hrv::MeasureValue& value = content.measures[measure];
    // Some sixty rows share the column; below 8 points a row, a smaller font.
    painter.setFont(reportFont(rowHeight < 8 ? 6.3 : 7));
    painter.setPen(Qt::black);
    const QRectF row(area.left() + 4, y, area.width() - 4, rowHeight);
    painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(entry.reportName));
    painter.setPen(value.defined() ? QColor(Qt::black) : QColor(130, 130, 130));
    painter.drawText(QRectF(area.left(), y, valueRight - area.left(), rowHeight),
                     Qt::AlignRight | Qt::AlignVCenter, measureText(measure, value));
    painter.setPen(QColor(80, 80, 80));
    painter.drawText(QRectF(unitLeft, y, area.right() - unitLeft, rowHeight),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromUtf8(hrv::unitTexts(entry.unit).report));
    y += rowHeight;
  }
  painter.restore();
}

}  // namespace rrscope::report
