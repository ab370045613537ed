#include "ui/measure_table_widget.h"

#include <QHeaderView>
#include <algorithm>
#include <memory>

#include "hrv/measure_catalogue.h"
#include "report/measure_names.h"
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

// How many groups begin at or before `measure`.
int groupsUpTo(hrv::Measure measure) {
  int count = 0;
  for (const report::MeasureGroup& group : report::measureGroups()) {
    count += group.first <= measure ? 1 : 0;
  }
  return count;
}

// What a screen reader announces for each row: the measure's or the
// group's name, not its number.
QStringList rowNames() {
  QStringList names(static_cast<qsizetype>(hrv::kMeasureCount + report::measureGroups().size()));
  int row = 0;
  for (const hrv::Measure measure : hrv::allMeasures()) {
    for (const report::MeasureGroup& group : report::measureGroups()) {
      if (group.first == measure) names[row++] = QString::fromUtf8(group.title);
    }
    names[row++] = qstring(hrv::measureEntry(measure).windowName);
  }
  return names;
}

}  // namespace

MeasureTableWidget::MeasureTableWidget(QWidget* parent)
    : QTableWidget(static_cast<int>(hrv::kMeasureCount + report::measureGroups().size()), 3,
                   parent) {
  setObjectName(QStringLiteral("measures"));
  setAccessibleName(QStringLiteral("Показатели ВСР"));
  setHorizontalHeaderLabels(
      {QStringLiteral("Показатель"), QStringLiteral("Значение"), QStringLiteral("Ед. изм.")});
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setStretchLastSection(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  // Tab leaves the table for the controls after it; the arrows move
  // between its cells.
  setTabKeyNavigation(false);
  setVerticalHeaderLabels(rowNames());
  for (const report::MeasureGroup& group : report::measureGroups()) {
    addHeading(rowOf(group.first) - 1, QString::fromUtf8(group.title));
  }
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const hrv::MeasureEntry& entry = hrv::measureEntry(measure);
    const int row = rowOf(measure);
    const QString tip = qstring(entry.explanation);
    setItem(row, 0, readOnlyItem(qstring(entry.windowName), tip));
    auto* value = readOnlyItem(QString(), tip);
    value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setItem(row, 1, value);
    setItem(row, 2, readOnlyItem(qstring(hrv::unitTexts(entry.unit).window), tip));
  }
  resizeColumnToContents(0);
}

void MeasureTableWidget::markComputing(std::span<const hrv::Measure> measures) {
  for (const hrv::Measure measure : measures) {
    item(rowOf(measure), 1)->setText(QStringLiteral("считается…"));
  }
}

int MeasureTableWidget::rowOf(hrv::Measure measure) const {
  return static_cast<int>(measure) + groupsUpTo(measure);
}

void MeasureTableWidget::addHeading(int row, const QString& title) {
  auto* heading = readOnlyItem(title, QString());
  heading->setFlags(Qt::ItemIsEnabled);
  QFont bold = font();
  bold.setBold(true);
  heading->setFont(bold);
  setItem(row, 0, heading);
  setSpan(row, 0, 1, 3);
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
    const hrv::MeasureEntry& entry = hrv::measureEntry(measure);
    const QString text = shownValue(measures[measure], entry.windowDecimals);
    QTableWidgetItem* value = item(rowOf(measure), 1);
    value->setText(text);
    const QString explanation = qstring(entry.explanation);
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
