#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "beats/detected_beats.h"
#include "pipeline/beat_list.h"

namespace rrscope::ui {

// The tachogram of a whole recording: each NN interval in ms at the time of
// its last beat, the intervals that end in a corrected or hand-edited beat
// marked, the unreadable stretches shaded, the analysis stretch
// highlighted and the ECG strip's place as a line. Dragging chooses the
// stretch; a click moves the strip there. Drawn as one min/max line per
// pixel column, so a day of beats draws as fast as a minute. The keys move
// the strip's place as a click does.
class TachogramView : public QWidget {
  Q_OBJECT

 public:
  explicit TachogramView(QWidget* parent);

  // The beats to show, with the series of the whole recording; the list
  // must outlive the view or the next call.
  void showBeats(const pipeline::BeatList* beats, pipeline::StretchSeries whole);
  void setStretch(beats::SampleStretch stretch);
  void setCursor(double sample);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // The sample under an x position of the plot, and the reverse.
  double sampleAt(double x) const;
  double xOf(double sample) const;
  // The height of an interval of `ms` on the plot.
  double yOf(double ms) const;

 signals:
  void stretchChosen(double beginSample, double endSample);
  void cursorChosen(double sample);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  // Left and Right move the strip's place by ten pixels' worth, Page Up and
  // Page Down by a tenth of the recording, Home and End to its ends.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QRectF plotArea() const;
  // The part of the plot's height for the bulk of the intervals.
  double bulkHeight(const QRectF& plot) const;
  void chooseValueRange();
  void paintAxes(QPainter& painter, const QRectF& plot) const;
  void paintValueTicks(QPainter& painter, const QRectF& plot) const;
  void paintBreak(QPainter& painter, const QRectF& plot) const;
  void paintIntervals(QPainter& painter, const QRectF& plot) const;

  const pipeline::BeatList* beats_ = nullptr;
  pipeline::StretchSeries whole_;
  beats::SampleStretch stretch_;
  double cursor_ = 0;
  double lowMs_ = 400;
  double highMs_ = 1200;
  // Above highMs_, when the longest intervals lie far above the bulk: they
  // are drawn, up to topMs_, in a band of their own at the top, across a
  // marked break in the scale.
  std::optional<double> topMs_;
  std::optional<double> dragFrom_;  // the x where a drag began
  std::optional<double> dragTo_;
};

}  // namespace rrscope::ui
