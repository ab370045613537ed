#include "ui/measure_table_widget.h"

#include <QHeaderView>
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

// Only the values change; the columns are fitted once afterwards rather
// than after each cell, which would measure every row again each time.
void MeasureTableWidget::showMeasures(const hrv::Measures& measures) {
  for (const hrv::Measure measure : hrv::allMeasures()) {
    item(static_cast<int>(measure), 1)
        ->setText(shownValue(measures[measure], measureCaption(measure).decimals));
  }
  resizeColumnToContents(1);
}

}  // namespace rrscope::ui
