#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "beats/detected_beats.h"
#include "editing/beat_list.h"

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
  // Room for the value labels on the left and a margin on the right; the
  // views under the tachogram keep the same, so that their times align.
  static constexpr double kLeftMargin = 46;
  static constexpr double kRightMargin = 8;

  explicit TachogramView(QWidget* parent);

  // The beats to show, with the series of the whole recording; the list
  // must outlive the view or the next call.
  void showBeats(const editing::BeatList* beats, editing::StretchSeries whole);
  void setStretch(beats::SampleStretch stretch);
  void setCursor(double sample);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // The sample under an x position of the plot, and the reverse.
  double sampleAt(double x) const;
  double xOf(double sample) const;
  // The height of a value on the plot: an interval in ms, or a heart rate
  // in beats a minute.
  double yOf(double value) const;

  // Shows the heart rate of each interval (60000 / NN, beats a minute)
  // instead of the interval.
  void setShowsHeartRate(bool heartRate);
  bool showsHeartRate() const { return heartRate_; }

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
  // The plot's height less the breaks between bands.
  double bandsHeight(const QRectF& plot) const;
  void chooseValueRange();
  void paintAxes(QPainter& painter, const QRectF& plot) const;
  void paintValueTicks(QPainter& painter, const QRectF& plot) const;
  void paintBreaks(QPainter& painter, const QRectF& plot) const;
  void paintIntervals(QPainter& painter, const QRectF& plot) const;

  const editing::BeatList* beats_ = nullptr;
  editing::StretchSeries whole_;
  bool heartRate_ = false;
  std::vector<double> values_;  // of whole_'s intervals, as shown
  beats::SampleStretch stretch_;
  double cursor_ = 0;
  // The value axis from the bottom up: the bulk of the values, with a band
  // below or above it, across a break, for values far beyond it.
  struct ValueBand {
    double low = 0;
    double high = 0;
    double share = 1;  // of the plot's height less the breaks
  };
  std::vector<ValueBand> bands_;
  std::optional<double> dragFrom_;  // the x where a drag began
  std::optional<double> dragTo_;
};

}  // namespace rrscope::ui
