#include "ui/measure_table_widget.h"

#include <QHeaderView>
#include <algorithm>
#include <memory>

#include "ui/measure_captions.h"
#include "ui/measure_table_text.h"

namespace rrscope::ui {
namespace {

QString qstring(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QTableWidgetItem* readOnlyItem(const QString& text, const QString& tip) {
  auto item = std::make_unique<QTableWidgetItem>(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  item->setToolTip(tip);
  return item.release();  // the table takes ownership
}

}  // namespace

MeasureTableWidget::MeasureTableWidget(QWidget* parent)
    : QTableWidget(static_cast<int>(hrv::kMeasureCount), 3, parent) {
  setObjectName(QStringLiteral("measures"));
  setAccessibleName(QStringLiteral("Показатели ВСР"));
  setHorizontalHeaderLabels(
      {QStringLiteral("Показатель"), QStringLiteral("Значение"), QStringLiteral("Ед. изм.")});
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setStretchLastSection(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const MeasureCaption& caption = measureCaption(measure);
    const int row = static_cast<int>(measure);
    const QString tip = qstring(caption.explanation);
    setItem(row, 0, readOnlyItem(qstring(caption.name), tip));
    auto* value = readOnlyItem(QString(), tip);
    value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setItem(row, 1, value);
    setItem(row, 2, readOnlyItem(qstring(caption.unit), tip));
  }
  resizeColumnToContents(0);
}

// Only the values change, and the value column is fitted once afterwards
// rather than after each cell, which would measure every row each time. It
// fits the numbers: the reason a value is missing can be long, so it is
// elided in the cell and shown whole in the tooltip.
void MeasureTableWidget::showMeasures(const hrv::Measures& measures) {
  constexpr int kCellPadding = 16;
  const QFontMetrics metrics(font());
  int width = std::max(metrics.horizontalAdvance(horizontalHeaderItem(1)->text()) + kCellPadding,
                       metrics.horizontalAdvance(QStringLiteral("нет данных…")));
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const MeasureCaption& caption = measureCaption(measure);
    const QString text = shownValue(measures[measure], caption.decimals);
    QTableWidgetItem* value = item(static_cast<int>(measure), 1);
    value->setText(text);
    const QString explanation = qstring(caption.explanation);
    if (measures[measure].defined()) {
      value->setToolTip(explanation);
      width = std::max(width, metrics.horizontalAdvance(text));
    } else {
      value->setToolTip(text + QStringLiteral("\n\n") + explanation);
    }
  }
  setColumnWidth(1, width + kCellPadding);
}

}  // namespace rrscope::ui
