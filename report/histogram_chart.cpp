#include <algorithm>

#include "report/plot_frame.h"
#include "report/report_charts.h"

namespace rrscope::report {

void drawHistogram(QPainter& painter, QRectF area, const ReportContent& content) {
  const QString title = QStringLiteral("Гистограмма NN и TINN");
  const auto& counts = content.measures.histogram.counts;
  const auto first = std::ranges::find_if(counts, [](auto count) { return count > 0; });
  if (first == counts.end()) {
    drawEmptyChart(painter, area, title, QStringLiteral("нет NN интервалов"));
    return;
  }
  const auto firstBin = static_cast<std::size_t>(first - counts.begin());
  const std::size_t lastBin = counts.size() - 1;
  const auto& histogram = content.measures.histogram;
  double left = histogram.leftEdgeMs(firstBin);
  double right = histogram.leftEdgeMs(lastBin + 1);
  std::int64_t tallest = *std::ranges::max_element(counts);
  if (const auto& triangle = content.measures.triangle) {
    left = std::min(left, triangle->nMs);
    right = std::max(right, triangle->mMs);
    tallest = std::max(tallest, triangle->y);
  }
  const double pad = 0.05 * (right - left) + hrv::kBinWidthMs;
  const PlotFrame frame(area, roundedOut({std::max(0.0, left - pad), right + pad}, 6),
                        roundedOut({0, static_cast<double>(tallest) * 1.08}, 5));
  frame.drawAxes(painter, title, QStringLiteral("NN, мс"), QStringLiteral("количество"));

  painter.save();
  painter.setClipRect(frame.plot());
  painter.setPen(QPen(QColor(70, 110, 170), 0.2));
  painter.setBrush(QColor(140, 175, 220));
  for (std::size_t bin = firstBin; bin <= lastBin; ++bin) {
    if (counts[bin] == 0) continue;
    const QPointF top = frame.at(histogram.leftEdgeMs(bin), static_cast<double>(counts[bin]));
    const QPointF bottom = frame.at(histogram.leftEdgeMs(bin + 1), 0);
    painter.drawRect(QRectF(top, bottom));
  }
  if (const auto& triangle = content.measures.triangle) {
    painter.setPen(QPen(QColor(200, 30, 30), 1.0));
    painter.setBrush(Qt::NoBrush);
    const QPolygonF outline{frame.at(triangle->nMs, 0),
                            frame.at(triangle->xMs, static_cast<double>(triangle->y)),
                            frame.at(triangle->mMs, 0)};
    painter.drawPolyline(outline);
    painter.setFont(reportFont(6.5));
    painter.drawText(frame.at(triangle->nMs, 0) + QPointF(-3, -3), QStringLiteral("N"));
    painter.drawText(frame.at(triangle->mMs, 0) + QPointF(1, -3), QStringLiteral("M"));
  }
  painter.restore();
}

}  // namespace rrscope::report
