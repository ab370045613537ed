#include "report/report_header.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QStringList>
#include <cmath>
#include <utility>
#include <vector>

#include "report/plot_frame.h"

namespace rrscope::report {
namespace {

using Line = std::pair<QString, QString>;

QString number(double value, int decimals) {
  return QString::number(value, 'f', decimals);
}

// "1 ч 02 мин 5.0 с (3725.0 с)" or "30 мин 5.6 с (1805.6 с)".
QString durationText(double seconds) {
  const auto whole = static_cast<long long>(std::floor(seconds));
  const long long hours = whole / 3600;
  const long long minutes = whole / 60 % 60;
  const double rest = seconds - static_cast<double>(hours * 3600 + minutes * 60);
  QString text;
  if (hours > 0) text += QStringLiteral("%1 ч ").arg(hours);
  const int width = hours > 0 ? 2 : 1;
  text +=
      QStringLiteral("%1 мин %2 с").arg(minutes, width, 10, QLatin1Char('0')).arg(number(rest, 1));
  return text + QStringLiteral(" (%1 с)").arg(number(seconds, 1));
}

QString correctionsText(const ReportContent& content) {
  if (!content.corrections) return QStringLiteral("нет (NN = RR)");
  const auto& c = *content.corrections;
  return QStringLiteral(
             "%1 ударов: лишних %2, пропущенных %3, эктопических %4, "
             "длинных/коротких %5")
      .arg(c.total())
      .arg(c.extra)
      .arg(c.missed)
      .arg(c.ectopic)
      .arg(c.longShort);
}

QString scoringText(const ReportContent& content) {
  const auto& s = *content.scoring;
  return QStringLiteral("Se %1 %, +P %2 % (TP %3, FN %4, FP %5; окно %6 мс; эталон: %7)")
      .arg(number(s.sensitivityPct(), 2))
      .arg(number(s.positivePredictivityPct(), 2))
      .arg(s.truePositives)
      .arg(s.falseNegatives)
      .arg(s.falsePositives)
      .arg(number(s.windowMs, 0))
      .arg(QString::fromStdString(content.reference));
}

// "V 0.81 % (парных 1, пробежек 0)".
QString burdenText(char letter, double percent, std::size_t couplets, std::size_t runs) {
  return QStringLiteral("%1 %2 % (парных %3, пробежек %4)")
      .arg(QLatin1Char(letter))
      .arg(number(percent, 2))
      .arg(couplets)
      .arg(runs);
}

// "N 1234, S 5, V 10, F 0, Q 1; нагрузка V 0.81 % (...), S 0.40 % (...)".
QString classesText(const ClassSummary& classes) {
  QStringList counts;
  for (const beats::BeatClass beatClass : beats::kBeatClasses) {
    counts << QStringLiteral("%1 %2")
                  .arg(QLatin1Char(beats::beatClassLetter(beatClass)))
                  .arg(classes.counts[static_cast<std::size_t>(beatClass)]);
  }
  const beats::EctopicBurden& b = classes.burden;
  return counts.join(QStringLiteral(", ")) + QStringLiteral("; нагрузка ") +
         burdenText('V', b.ventricularPct, b.ventricularCouplets, b.ventricularRuns) +
         QStringLiteral(", ") +
         burdenText('S', b.supraventricularPct, b.supraventricularCouplets, b.supraventricularRuns);
}

std::vector<Line> headerLines(const ReportContent& content) {
  std::vector<Line> lines{
      {QStringLiteral("Файл:"), QString::fromStdString(content.file)},
      {QStringLiteral("Канал:"), QString::fromStdString(content.channel)},
      {QStringLiteral("Частота дискретизации:"),
       QStringLiteral("%1 Гц").arg(QString::number(content.rateHz, 'g', 10))},
      {QStringLiteral("Время записи ритма:"), durationText(content.durationSeconds)},
      {QStringLiteral("Количество сэмплов:"), QString::number(content.sampleCount)},
      {QStringLiteral("Детектор:"), QStringLiteral("%1, найдено ударов: %2")
                                        .arg(QString::fromStdString(content.detector))
                                        .arg(content.detectedBeats)},
      {QStringLiteral("Коррекция артефактов:"), correctionsText(content)},
      {QStringLiteral("Количество NN интервалов:"), QString::number(content.nnMs.size())},
  };
  if (content.classes)
    lines.emplace_back(QStringLiteral("Классы ударов:"), classesText(*content.classes));
  if (!content.spectrumNote.empty())
    lines.emplace_back(QStringLiteral("Спектры:"), QString::fromStdString(content.spectrumNote));
  if (!content.stretchNote.empty())
    lines.emplace_back(QStringLiteral("Отрезок анализа:"),
                       QString::fromStdString(content.stretchNote));
  if (content.scoring)
    lines.emplace_back(QStringLiteral("Сравнение с эталоном:"), scoringText(content));
  return lines;
}

}  // namespace

void drawReportHeader(QPainter& painter, QRectF area, const ReportContent& content) {
  painter.save();
  painter.setPen(Qt::black);
  painter.setFont(reportFont(13, true));
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("Анализ вариабельности сердечного ритма"));
  painter.setFont(reportFont(9));
  painter.setPen(QColor(90, 90, 90));
  painter.drawText(area, Qt::AlignRight | Qt::AlignTop,
                   QFileInfo(QString::fromStdString(content.file)).fileName());

  const std::vector<Line> lines = headerLines(content);
  const double rowHeight = std::min(10.5, (area.height() - 22) / static_cast<double>(lines.size()));
  const double captionWidth = 122;
  double y = area.top() + 22;
  for (const auto& [caption, value] : lines) {
    painter.setFont(reportFont(7.5));
    painter.setPen(QColor(70, 70, 70));
    painter.drawText(QRectF(area.left(), y, captionWidth, rowHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, caption);
    painter.setPen(Qt::black);
    const QRectF valueBox(area.left() + captionWidth, y, area.width() - captionWidth, rowHeight);
    const QFontMetricsF metrics(painter.font());
    painter.drawText(valueBox, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(value, Qt::ElideMiddle, valueBox.width()));
    y += rowHeight;
  }
  painter.setPen(QPen(QColor(160, 170, 200), 0.6));
  painter.drawLine(QPointF(area.left(), area.bottom() + 2),
                   QPointF(area.right(), area.bottom() + 2));
  painter.restore();
}

}  // namespace rrscope::report
