#include "ui/recording/sample_list_view.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/recording/clock_text.h"

namespace rrscope::ui {

SampleListView::SampleListView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("samples"));
  auto* layout = new QVBoxLayout(this);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("sampleList"));
  list_->setAccessibleName(QStringLiteral("Выборки анализа"));
  auto* buttons = new QHBoxLayout;
  auto* add = new QPushButton(QStringLiteral("Добавить отрезок как выборку"), this);
  add->setObjectName(QStringLiteral("addSample"));
  auto* remove = new QPushButton(QStringLiteral("Убрать выборку"), this);
  remove->setObjectName(QStringLiteral("removeSample"));
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch();
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  connect(add, &QPushButton::clicked, this, [this] { emit addRequested(); });
  connect(remove, &QPushButton::clicked, this, [this] {
    if (list_->currentRow() >= 0 && list_->currentRow() < list_->count() - 1) {
      emit removeRequested(list_->currentRow());
    }
  });
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) emit chosen(row);
  });
}

void SampleListView::showSamples(std::span<const beats::SampleStretch> samples, double rate,
                                 int chosen) {
  const QSignalBlocker quiet(list_);
  list_->clear();
  int number = 1;
  for (const beats::SampleStretch& sample : samples) {
    list_->addItem(
        QStringLiteral("%1) с %2, длительность %3")
            .arg(number++)
            .arg(clockText(sample.begin / rate), clockText((sample.end - sample.begin) / rate)));
  }
  list_->addItem(QStringLiteral("все выборки вместе"));
  list_->setCurrentRow(chosen);
}

}  // namespace rrscope::ui
