#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "report/plot_frame.h"
#include "report/report_charts.h"

namespace rrscope::report {
namespace {

// The range both axes share, so that the identity line runs at 45 degrees.
AxisRange sharedRange(const std::vector<double>& nnMs) {
  std::vector<double> sorted(nnMs);
  std::ranges::sort(sorted);
  const double low =
      sorted[static_cast<std::size_t>(0.001 * static_cast<double>(sorted.size() - 1))];
  const double high =
      sorted[static_cast<std::size_t>(0.999 * static_cast<double>(sorted.size() - 1))];
  const double pad = std::max(20.0, 0.1 * (high - low));
  return roundedOut({std::max(0.0, low - pad), high + pad}, 5);
}

// SD1 and SD2 beside the plot, or in its upper left corner, above the line
// of identity where few pairs fall, when there is no room beside it; the
// note on the colours only beside it.
void drawLegend(QPainter& painter, QRectF box, const ReportContent& content, bool withNote) {
  painter.save();
  painter.setFont(reportFont(7));
  double y = box.top();
  for (const auto& [name, measure] :
       {std::pair{"SD1", hrv::Measure::sd1}, std::pair{"SD2", hrv::Measure::sd2},
        std::pair{"SD1/SD2", hrv::Measure::sd1Sd2}}) {
    const auto& value = content.measures[measure];
    const QString text = value.defined() ? QString::number(value.value(), 'f',
                                                           measure == hrv::Measure::sd1Sd2 ? 3 : 1)
                                         : QStringLiteral("—");
    const QString unit = measure == hrv::Measure::sd1Sd2 ? QString() : QStringLiteral(" мс");
    painter.setPen(QColor(200, 30, 30));
    painter.drawText(QPointF(box.left(), y),
                     QStringLiteral("%1 = %2%3").arg(QString::fromLatin1(name), text, unit));
    y += 11;
  }
  if (!withNote) {
    painter.restore();
    return;
  }
  painter.setPen(QColor(110, 110, 110));
  painter.drawText(QRectF(box.left(), y, box.width(), 40), Qt::AlignLeft | Qt::TextWordWrap,
                   QStringLiteral("пунктир: NNᵢ₊₁ = NNᵢ; цвет: число пар в клетке"));
  painter.restore();
}

}  // namespace

void drawPoincare(QPainter& painter, QRectF area, const ReportContent& content) {
  const QString title = QStringLiteral("Скаттерграмма (Пуанкаре)");
  if (content.nnMs.size() < 3) {
    drawEmptyChart(painter, area, title, QStringLiteral("меньше трёх NN интервалов"));
    return;
  }
  const AxisRange range = sharedRange(content.nnMs);
  const PlotFrame frame(area, range, range, true);
  frame.drawAxes(painter, title, QStringLiteral("NNᵢ, мс"), QStringLiteral("NNᵢ₊₁, мс"));

  painter.save();
  painter.setClipRect(frame.plot());
  // A density of cells, darker where more pairs fall: a day's 100,000
  // points would hide each other as dots.
  constexpr int kCells = 120;
  std::vector<int> cells(kCells * kCells, 0);
  const double span = range.high - range.low;
  for (std::size_t i = 0; i + 1 < content.nnMs.size(); ++i) {
    const int cx = static_cast<int>((content.nnMs[i] - range.low) / span * kCells);
    const int cy = static_cast<int>((content.nnMs[i + 1] - range.low) / span * kCells);
    if (cx < 0 || cy < 0 || cx >= kCells || cy >= kCells) continue;
    ++cells[static_cast<std::size_t>(cy * kCells + cx)];
  }
  const int most = std::max(1, *std::ranges::max_element(cells));
  painter.setPen(Qt::NoPen);
  const double cell = span / kCells;
  for (int cy = 0; cy < kCells; ++cy) {
    for (int cx = 0; cx < kCells; ++cx) {
      const int count = cells[static_cast<std::size_t>(cy * kCells + cx)];
      if (count == 0) continue;
      const double share = std::log1p(count) / std::log1p(most);
      painter.setBrush(QColor::fromHsvF(0.6, 0.25 + 0.75 * share, 0.95 - 0.55 * share));
      const double x = range.low + cx * cell;
      const double y = range.low + cy * cell;
      painter.drawRect(QRectF(frame.at(x, y + cell), frame.at(x + cell, y)));
    }
  }
  painter.setPen(QPen(QColor(120, 120, 120), 0.5, Qt::DashLine));
  painter.drawLine(frame.at(range.low, range.low), frame.at(range.high, range.high));

  const auto& sd1 = content.measures[hrv::Measure::sd1];
  const auto& sd2 = content.measures[hrv::Measure::sd2];
  const auto& mean = content.measures[hrv::Measure::meanNn];
  if (sd1.defined() && sd2.defined() && mean.defined()) {
    const double c = mean.value();
    const double r = std::numbers::sqrt2 / 2;
    QPolygonF ellipse;
    for (int k = 0; k <= 96; ++k) {
      const double t = 2 * std::numbers::pi * k / 96;
      const double along = sd2.value() * std::cos(t);
      const double across = sd1.value() * std::sin(t);
      ellipse << frame.at(c + r * (along - across), c + r * (along + across));
    }
    painter.setPen(QPen(QColor(200, 30, 30), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(ellipse);
    painter.setPen(QPen(QColor(200, 30, 30), 0.6));
    painter.drawLine(frame.at(c, c), frame.at(c + r * sd2.value(), c + r * sd2.value()));
    painter.drawLine(frame.at(c, c), frame.at(c - r * sd1.value(), c + r * sd1.value()));
  }
  painter.restore();
  constexpr double kLegendWidth = 80;
  const QRectF& plot = frame.plot();
  if (area.right() - plot.right() - 10 >= kLegendWidth) {
    drawLegend(
        painter,
        QRectF(plot.right() + 10, plot.top() + 8, area.right() - plot.right() - 10, plot.height()),
        content, true);
  } else {
    drawLegend(painter, QRectF(plot.left() + 4, plot.top() + 10, plot.width() / 2, plot.height()),
               content, false);
  }
}

}  // namespace rrscope::report
