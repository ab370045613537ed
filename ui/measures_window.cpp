#include "ui/measures_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/measure_table_text.h"
#include "ui/measure_table_widget.h"

namespace rrscope::ui {

MeasuresWindow::MeasuresWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("MeasuresWindow"));
  setWindowTitle(QStringLiteral("Показатели ВСР"));
  if (parent != nullptr) {
    setWindowIcon(parent->windowIcon());
    setFont(parent->font());
  }
  buildLayout();
  resize(640, 660);
}

void MeasuresWindow::buildLayout() {
  auto* layout = new QVBoxLayout(this);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("status"));
  status_->setWordWrap(true);
  layout->addWidget(status_);

  table_ = new MeasureTableWidget(this);
  layout->addWidget(table_);

  auto* buttons = new QHBoxLayout;
  auto* copy = new QPushButton(QStringLiteral("Копировать таблицу"), this);
  copy->setObjectName(QStringLiteral("copy"));
  auto* save = new QPushButton(QStringLiteral("Сохранить CSV…"), this);
  save->setObjectName(QStringLiteral("saveCsv"));
  buttons->addWidget(copy);
  buttons->addWidget(save);
  buttons->addStretch();
  layout->addLayout(buttons);
  connect(copy, &QPushButton::clicked, this, [this] { copyTable(); });
  connect(save, &QPushButton::clicked, this, [this] { saveCsv(); });
  updateStatus();
}

void MeasuresWindow::showCompletedRun(std::vector<double> intervalsMs) {
  intervalsMs_ = std::move(intervalsMs);
  completedRun_ = true;
  stoppedMessage_.clear();
  stale_ = true;
  if (isVisible()) refreshIfStale();
  updateStatus();
}

void MeasuresWindow::showStoppedRun(const QString& message) {
  stoppedMessage_ = message;
  updateStatus();
}

void MeasuresWindow::setSaveChooser(std::function<QString()> chooser) {
  saveChooser_ = std::move(chooser);
}

QString MeasuresWindow::statusText() const {
  return status_->text();
}

void MeasuresWindow::showEvent(QShowEvent* event) {
  refreshIfStale();
  QWidget::showEvent(event);
}

void MeasuresWindow::refreshIfStale() {
  if (!stale_) return;
  measures_ = hrv::computeMeasures(intervalsMs_);
  table_->showMeasures(measures_);
  stale_ = false;
}

void MeasuresWindow::updateStatus() {
  QString text;
  if (completedRun_)
    text =
        QStringLiteral("Последний завершённый анализ: %1 RR-интервалов.").arg(intervalsMs_.size());
  else
    text = QStringLiteral("Завершённого анализа ещё не было.");
  if (!stoppedMessage_.isEmpty())
    text = QStringLiteral("Последний анализ остановлен ошибкой: %1\n").arg(stoppedMessage_) + text;
  status_->setText(text);
}

void MeasuresWindow::copyTable() const {
  QApplication::clipboard()->setText(tableAsTabText(measures_));
}

void MeasuresWindow::saveCsv() {
  const QString path = saveChooser_ ? saveChooser_()
                                    : QFileDialog::getSaveFileName(
                                          this, QStringLiteral("Сохранить показатели"),
                                          QStringLiteral("hrv.csv"), QStringLiteral("*.csv"));
  if (path.isEmpty()) return;
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(tableAsCsv(measures_).toUtf8()) < 0) {
    status_->setText(QStringLiteral("Не удалось сохранить %1: %2").arg(path, file.errorString()));
  }
}

}  // namespace rrscope::ui
