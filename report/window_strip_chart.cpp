#include <algorithm>
#include <cmath>

#include "report/plot_frame.h"
#include "report/report_charts.h"

namespace rrscope::report {
namespace {

using TimedValues = std::vector<ReportContent::TimedValue>;

// The start of the series on the tachogram's clock: the windows count from
// the start of the first interval.
double seriesStartSeconds(const ReportContent& content) {
  if (content.beatSeconds.empty()) return 0;
  return content.beatSeconds.front() - content.nnMs.front() / 1000;
}

AxisRange valueRange(const TimedValues& values, AxisRange fallback) {
  double low = INFINITY, high = -INFINITY;
  for (const auto& point : values) {
    if (!point.value) continue;
    low = std::min(low, *point.value);
    high = std::max(high, *point.value);
  }
  if (low > high) return fallback;
  const double pad = std::max(0.02 * std::abs(high), 0.1 * (high - low));
  return roundedOut({low - pad, high + pad}, 3);
}

// One measure over time: a line through the windows that have a value,
// broken where one has none.
void drawStrip(QPainter& painter, QRectF area, const ReportContent& content,
               const TimedValues& values, const QString& title, const QString& caption,
               AxisRange fallback, const QColor& colour, std::optional<double> reference) {
  const AxisRange time = timeAxisMinutes(content);
  const PlotFrame frame(area, time, valueRange(values, fallback));
  frame.drawAxes(painter, title, QStringLiteral("время, мин"), caption);
  painter.save();
  painter.setClipRect(frame.plot());
  if (reference && *reference > frame.y().low && *reference < frame.y().high) {
    painter.setPen(QPen(QColor(150, 150, 150), 0.5, Qt::DashLine));
    painter.drawLine(frame.at(time.low, *reference), frame.at(time.high, *reference));
  }
  const double start = seriesStartSeconds(content);
  painter.setPen(QPen(colour, 0.7));
  QPolygonF line;
  for (const auto& point : values) {
    if (!point.value) {
      if (line.size() > 1) painter.drawPolyline(line);
      line.clear();
      continue;
    }
    line << frame.at((start + point.seconds) / 60.0, *point.value);
  }
  if (line.size() > 1) painter.drawPolyline(line);
  painter.restore();
}

}  // namespace

void drawWindowStrips(QPainter& painter, QRectF area, const ReportContent& content) {
  const double gap = 14;
  const double half = (area.width() - gap) / 2;
  // alpha1 0.75 is the threshold that exercise studies read the first
  // ventilatory threshold from.
  drawStrip(painter, QRectF(area.left(), area.top(), half, area.height()), content,
            content.alpha1Strip, QStringLiteral("DFA α1, окна 120 с"), QStringLiteral("α1"),
            {0, 1.5}, QColor(200, 60, 40), 0.75);
  drawStrip(painter, QRectF(area.left() + half + gap, area.top(), half, area.height()), content,
            content.rmssdStrip, QStringLiteral("RMSSD, окна 300 с"), QStringLiteral("мс"), {0, 100},
            QColor(20, 70, 160), std::nullopt);
}

}  // namespace rrscope::report
