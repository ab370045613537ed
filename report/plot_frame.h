#pragma once

#include <QPainter>
#include <QRectF>
#include <QString>
#include <vector>

namespace rrscope::report {

// A span of data values along one axis.
struct AxisRange {
  double low = 0;
  double high = 1;
};

// Tick positions at 1, 2 or 5 times a power of ten, about `wanted` of them
// inside the range.
std::vector<double> niceTicks(AxisRange range, int wanted);

// Ticks every `step` inside the range.
std::vector<double> ticksEvery(AxisRange range, double step);

// The range widened to the ticks around it.
AxisRange roundedOut(AxisRange range, int wanted);

// A chart area: its title above, the plot rectangle with both axes, ticks
// and their numbers, and the axis captions with units. Maps data values to
// page positions inside the plot rectangle.
class PlotFrame {
 public:
  // With `square`, the plot is as wide as it is high, at the area's left.
  PlotFrame(QRectF area, AxisRange x, AxisRange y, bool square = false);

  // Draws the frame, the grid and the texts; the data is drawn afterwards.
  void drawAxes(QPainter& painter, const QString& title, const QString& xCaption,
                const QString& yCaption) const;

  QPointF at(double x, double y) const;
  double xAt(double x) const;
  double yAt(double y) const;
  // Ticks of the horizontal axis every `step` data units instead of the
  // automatic 1, 2 or 5 times a power of ten.
  void setXTickStep(double step) { xStep_ = step; }

  const QRectF& plot() const { return plot_; }
  AxisRange x() const { return x_; }
  AxisRange y() const { return y_; }

 private:
  QRectF area_;
  QRectF plot_;
  AxisRange x_;
  AxisRange y_;
  double xStep_ = 0;
};

// Fonts of the report in page units (points).
QFont reportFont(double size, bool bold = false);

// A number for an axis tick: no more decimals than the tick step needs.
QString tickText(double value, double step);

}  // namespace rrscope::report
