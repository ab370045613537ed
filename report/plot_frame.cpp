#include "report/plot_frame.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "statistics/tick_steps.h"

namespace rrscope::report {
namespace {

constexpr double kTitleHeight = 13;
constexpr double kLeftGutter = 40;
constexpr double kBottomGutter = 26;
constexpr double kRightGutter = 6;
constexpr double kTickFont = 6.5;
constexpr double kCaptionFont = 7;
constexpr int kWantedTicks = 6;

double tickStep(AxisRange range, int wanted) {
  return statistics::decimalStep(std::max(range.high - range.low, 1e-12), wanted);
}

}  // namespace

std::vector<double> niceTicks(AxisRange range, int wanted) {
  return ticksEvery(range, tickStep(range, wanted));
}

std::vector<double> ticksEvery(AxisRange range, double step) {
  std::vector<double> ticks;
  for (double tick = std::ceil(range.low / step - 1e-9) * step; tick <= range.high + step * 1e-9;
       tick += step) {
    ticks.push_back(std::abs(tick) < step * 1e-9 ? 0.0 : tick);
  }
  return ticks;
}

AxisRange roundedOut(AxisRange range, int wanted) {
  if (range.high <= range.low) range = {range.low - 1, range.low + 1};
  const double step = tickStep(range, wanted);
  return {std::floor(range.low / step) * step, std::ceil(range.high / step) * step};
}

QFont reportFont(double size, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  font.setPointSizeF(size);
  font.setBold(bold);
  return font;
}

QString tickText(double value, double step) {
  const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
  return QString::number(value, 'f', decimals);
}

PlotFrame::PlotFrame(QRectF area, AxisRange x, AxisRange y, bool square)
    : area_(area),
      plot_(area.left() + kLeftGutter, area.top() + kTitleHeight,
            area.width() - kLeftGutter - kRightGutter,
            area.height() - kTitleHeight - kBottomGutter),
      x_(x),
      y_(y) {
  if (square) plot_.setWidth(std::min(plot_.width(), plot_.height()));
}

double PlotFrame::xAt(double x) const {
  return plot_.left() + (x - x_.low) / (x_.high - x_.low) * plot_.width();
}

double PlotFrame::yAt(double y) const {
  return plot_.bottom() - (y - y_.low) / (y_.high - y_.low) * plot_.height();
}

QPointF PlotFrame::at(double x, double y) const {
  return {xAt(x), yAt(y)};
}

void PlotFrame::drawAxes(QPainter& painter, const QString& title, const QString& xCaption,
                         const QString& yCaption) const {
  painter.save();
  painter.setFont(reportFont(8.5, true));
  painter.setPen(Qt::black);
  painter.drawText(QRectF(area_.left(), area_.top(), area_.width(), kTitleHeight),
                   Qt::AlignLeft | Qt::AlignTop, title);

  const QPen grid(QColor(225, 225, 225), 0.4);
  const QPen axis(QColor(60, 60, 60), 0.6);
  painter.setFont(reportFont(kTickFont));
  const QFontMetricsF metrics(painter.font());
  const auto xTicks = xStep_ > 0 ? ticksEvery(x_, xStep_) : niceTicks(x_, kWantedTicks);
  const auto yTicks = niceTicks(y_, kWantedTicks);
  const double xStep = xTicks.size() > 1 ? xTicks[1] - xTicks[0] : 1;
  const double yStep = yTicks.size() > 1 ? yTicks[1] - yTicks[0] : 1;
  for (const double tick : xTicks) {
    const double at = xAt(tick);
    painter.setPen(grid);
    painter.drawLine(QPointF(at, plot_.top()), QPointF(at, plot_.bottom()));
    painter.setPen(axis);
    painter.drawLine(QPointF(at, plot_.bottom()), QPointF(at, plot_.bottom() + 2.5));
    const QString text = tickText(tick, xStep);
    const double width = metrics.horizontalAdvance(text);
    painter.drawText(QPointF(at - width / 2, plot_.bottom() + 3 + metrics.ascent()), text);
  }
  for (const double tick : yTicks) {
    const double at = yAt(tick);
    painter.setPen(grid);
    painter.drawLine(QPointF(plot_.left(), at), QPointF(plot_.right(), at));
    painter.setPen(axis);
    painter.drawLine(QPointF(plot_.left() - 2.5, at), QPointF(plot_.left(), at));
    const QString text = tickText(tick, yStep);
    const double width = metrics.horizontalAdvance(text);
    painter.drawText(QPointF(plot_.left() - 4 - width, at + metrics.ascent() / 2 - 0.5), text);
  }
  painter.setPen(axis);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(plot_);

  painter.setFont(reportFont(kCaptionFont));
  painter.setPen(Qt::black);
  painter.drawText(QRectF(plot_.left(), plot_.bottom() + 13, plot_.width(), 12), Qt::AlignHCenter,
                   xCaption);
  painter.translate(area_.left() + 1, plot_.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-plot_.height() / 2, 0, plot_.height(), 12), Qt::AlignHCenter, yCaption);
  painter.restore();
}

}  // namespace rrscope::report
