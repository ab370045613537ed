#pragma once

#include <QWidget>
#include <optional>
#include <vector>

namespace rrscope::ui {

// One measure of the windows of a whole recording over time, under the
// tachogram and on its clock: a line through the windows that have a value,
// broken where one has none, at each window's end.
class WindowStripView : public QWidget {
  Q_OBJECT

 public:
  struct Point {
    double seconds = 0;  // from the recording's start
    std::optional<double> value;
  };

  explicit WindowStripView(QWidget* parent);

  // The points of a recording of `totalSeconds`, and what they measure.
  void showPoints(std::vector<Point> points, double totalSeconds, const QString& caption);
  const std::vector<Point>& points() const { return points_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<Point> points_;
  double totalSeconds_ = 0;
  QString caption_;
};

}  // namespace rrscope::ui
