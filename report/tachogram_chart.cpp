#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "report/plot_frame.h"
#include "report/report_charts.h"
#include "statistics/column_envelope.h"
#include "statistics/tick_steps.h"

namespace rrscope::report {
namespace {

// The value below which `share` of the values lie.
double quantile(std::vector<double> values, double share) {
  const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(at), values.end());
  return values[at];
}

// Intervals far outside the bulk would flatten the rest into a line, so the
// scale follows the central 99.8 % and the rest is drawn at the edge.
AxisRange intervalRange(const std::vector<double>& nnMs) {
  const double low = quantile(nnMs, 0.001);
  const double high = quantile(nnMs, 0.999);
  const double pad = std::max(20.0, 0.08 * (high - low));
  return roundedOut({std::max(0.0, low - pad), high + pad}, 5);
}

// Intervals left out between two drawn ones for longer than this break the
// line: a single left-out interval around an ectopic beat leaves the
// neighbours joined, a stretch of them does not.
constexpr double kLeftOutSeconds = 3.0;

// A run of intervals as a line; a lone one, which a line would not show,
// as a dot.
void drawSegment(QPainter& painter, const QPolygonF& line) {
  if (line.size() == 1) {
    painter.drawPoint(line.front());
  } else {
    painter.drawPolyline(line);
  }
}

// Intervals beyond the scale are drawn at its edge; a small triangle at the
// edge says that each such one lies further out.
void drawClippedMarks(QPainter& painter, const PlotFrame& frame, const ReportContent& content) {
  constexpr double kSize = 1.6;
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(120, 60, 160));
  for (std::size_t i = 0; i < content.nnMs.size(); ++i) {
    const double nn = content.nnMs[i];
    if (nn >= frame.y().low && nn <= frame.y().high) continue;
    const bool above = nn > frame.y().high;
    const double x = frame.xAt(content.beatSeconds[i] / 60.0);
    const double edge = above ? frame.plot().top() : frame.plot().bottom();
    const double base = above ? edge + 2 * kSize : edge - 2 * kSize;
    painter.drawPolygon(
        QPolygonF{QPointF(x, edge), QPointF(x - kSize, base), QPointF(x + kSize, base)});
  }
}

// How many intervals lie beyond the scale, and how far: written under the
// chart's title, so that a scale cut to the bulk of a series is never
// silent.
void drawClippedNote(QPainter& painter, const PlotFrame& frame, QRectF area,
                     const ReportContent& content) {
  std::size_t clipped = 0;
  double lowest = INFINITY, highest = -INFINITY;
  for (const double nn : content.nnMs) {
    if (nn >= frame.y().low && nn <= frame.y().high) continue;
    ++clipped;
    lowest = std::min(lowest, nn);
    highest = std::max(highest, nn);
  }
  if (clipped == 0) return;
  painter.save();
  painter.setFont(reportFont(6.5));
  painter.setPen(QColor(120, 60, 160));
  painter.drawText(QRectF(frame.plot().left(), area.top() + 10, frame.plot().width(), 12),
                   Qt::AlignRight | Qt::AlignTop,
                   QStringLiteral("▲ вне шкалы: %1 (%2–%3 мс)")
                       .arg(clipped)
                       .arg(lowest, 0, 'f', 0)
                       .arg(highest, 0, 'f', 0));
  painter.restore();
}

}  // namespace

AxisRange timeAxisMinutes(const ReportContent& content) {
  const double end = content.startSeconds + content.durationSeconds;
  const double last = content.beatSeconds.empty() ? end : content.beatSeconds.back();
  return {content.startSeconds / 60.0, std::max(end, last) / 60.0};
}

void drawTachogram(QPainter& painter, QRectF area, const ReportContent& content) {
  const QString title = QStringLiteral("ритмограмма");
  if (content.nnMs.size() < 2) {
    drawEmptyChart(painter, area, title, QStringLiteral("меньше двух NN интервалов"));
    return;
  }
  const AxisRange time = timeAxisMinutes(content);
  const double minutes = time.high - time.low;
  PlotFrame frame(area, time, intervalRange(content.nnMs));
  // Past two hours the minutes are read best in whole hours, at most 12
  // ticks of them.
  if (minutes > 120) {
    constexpr std::array<double, 7> kHours{1, 2, 3, 4, 6, 12, 24};
    frame.setXTickStep(statistics::firstStepAtLeast(minutes / 12, kHours, 60));
  }
  frame.drawAxes(painter, title, QStringLiteral("время, мин"), QStringLiteral("NN, мс"));
  painter.save();
  painter.setClipRect(frame.plot());
  const auto clamped = [&frame](double nn) {
    return std::clamp(nn, frame.y().low, frame.y().high);
  };
  // Unreadable stretches lie under the line, shaded over the plot's height,
  // at least a pixel wide so that a short one still shows on a day.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(225, 225, 225));
  for (const auto& [from, to] : content.unreadableSeconds) {
    const double left = frame.xAt(from / 60.0);
    const double width = std::max(0.5, frame.xAt(to / 60.0) - left);
    painter.drawRect(QRectF(left, frame.plot().top(), width, frame.plot().height()));
  }

  // A day holds some 100,000 intervals: each column of the plot shows the
  // range its intervals cover, and short recordings their line.
  const int columns = static_cast<int>(frame.plot().width() * 2);
  painter.setPen(QPen(QColor(20, 70, 160), 0.5));
  if (static_cast<int>(content.nnMs.size()) <= columns * 2) {
    // The line breaks where intervals were left out (an unreadable stretch,
    // ectopic beats): drawn across, it would show intervals no one measured.
    QPolygonF line;
    for (std::size_t i = 0; i < content.nnMs.size(); ++i) {
      const bool gap =
          i > 0 && content.beatSeconds[i] - content.beatSeconds[i - 1] - content.nnMs[i] / 1000.0 >
                       kLeftOutSeconds;
      if (gap) {
        drawSegment(painter, line);
        line.clear();
      }
      line << frame.at(content.beatSeconds[i] / 60.0, clamped(content.nnMs[i]));
    }
    drawSegment(painter, line);
  } else {
    // Clamping each interval or a column's range gives the same range.
    const auto envelope = statistics::columnEnvelope(
        std::span<const double>(content.nnMs), static_cast<std::size_t>(columns),
        [&](std::size_t i) {
          return (frame.xAt(content.beatSeconds[i] / 60.0) - frame.plot().left()) /
                 frame.plot().width() * columns;
        });
    for (int column = 0; column < columns; ++column) {
      const auto& range = envelope[static_cast<std::size_t>(column)];
      if (range.empty()) continue;
      const double x = frame.plot().left() + (column + 0.5) * frame.plot().width() / columns;
      painter.drawLine(QPointF(x, frame.yAt(clamped(range.low))),
                       QPointF(x, frame.yAt(clamped(range.high)) - 0.3));
    }
  }
  drawClippedMarks(painter, frame, content);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(220, 40, 30));
  // Thousands of marks of a day would cover the line they mark.
  const double mark = content.correctedIntervals.size() > 1000 ? 0.6 : 1.1;
  for (const std::size_t i : content.correctedIntervals) {
    if (i >= content.nnMs.size()) continue;
    painter.drawEllipse(frame.at(content.beatSeconds[i] / 60.0, clamped(content.nnMs[i])), mark,
                        mark);
  }
  painter.restore();
  drawClippedNote(painter, frame, area, content);
  if (!content.unreadableSeconds.empty()) {
    painter.save();
    painter.setFont(reportFont(6.5));
    painter.setPen(QColor(110, 110, 110));
    double seconds = 0;
    for (const auto& [from, to] : content.unreadableSeconds) seconds += to - from;
    painter.drawText(QRectF(frame.plot().left(), area.top(), frame.plot().width() / 2, 12),
                     Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("▒ нечитаемые участки: %1 с").arg(seconds, 0, 'f', 1));
    painter.restore();
  }
  if (!content.correctedIntervals.empty()) {
    painter.save();
    painter.setFont(reportFont(6.5));
    painter.setPen(QColor(220, 40, 30));
    painter.drawText(
        QRectF(frame.plot().left(), area.top(), frame.plot().width(), 12),
        Qt::AlignRight | Qt::AlignTop,
        QStringLiteral("● исправленные удары: %1").arg(content.correctedIntervals.size()));
    painter.restore();
  }
}

void drawEmptyChart(QPainter& painter, QRectF area, const QString& title, const QString& why) {
  painter.save();
  painter.setFont(reportFont(8.5, true));
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop, title);
  painter.setFont(reportFont(7.5));
  painter.setPen(QColor(110, 110, 110));
  painter.drawText(area, Qt::AlignCenter, why);
  painter.restore();
}

}  // namespace rrscope::report
