#pragma once

#include <QWidget>
#include <memory>
#include <optional>

#include "beats/beat_class.h"
#include "editing/beat_list.h"
#include "recordings/recording.h"

class QMenu;

namespace rrscope::ui {

// A strip of the ECG, 2 to 60 s wide, with a mark on every beat in the
// colour of its source, or of its class with the class's letter beside it
// for a beat other than N, and the interval in ms between marks; unreadable
// stretches shaded. It edits nothing itself: a click on the trace asks for
// a beat there, a click on a mark selects it, a drag with Shift asks to
// mark a stretch unreadable (or to clear it, when the drag starts on a
// mark), and the keys ask the same: arrows move from beat to beat, Insert
// adds a beat in the selected interval, Delete removes the selected beat,
// and N, S, V, F and Q (or the keys in their places on a Russian layout)
// ask to give it that class, as the menu of a right click on a mark does;
// U asks to mark the strip on view unreadable and Shift+U to clear it, and
// + and - narrow and widen the strip. Dragging a mark asks to move its
// beat (freely with Alt), as Ctrl with an arrow does for the selected beat,
// a sample at a time (ten with Shift).
class EcgStripView : public QWidget {
  Q_OBJECT

 public:
  static constexpr double kNarrowestSeconds = 2;
  static constexpr double kWidestSeconds = 60;

  explicit EcgStripView(QWidget* parent);

  // The lead and beats to show; both must outlive the view or the next call.
  void showRecording(const recordings::Recording* recording, const editing::BeatList* beats);
  // Redraws after the beats changed; the selection stays on `selected`.
  void beatsChanged(std::optional<std::size_t> selected);

  double startSample() const { return start_; }
  double widthSeconds() const { return widthSeconds_; }
  double widthSamples() const;
  std::optional<std::size_t> selectedBeat() const { return selected_; }

  // Shows the strip from `sample` on, kept inside the recording.
  void scrollTo(double sample);
  // Shows `sample` in the middle of the strip.
  void centreOn(double sample);
  void setWidthSeconds(double seconds);
  void selectBeat(std::optional<std::size_t> index);

  // The sample under an x position, and the reverse.
  double sampleAt(double x) const;
  double xOf(double sample) const;

  // The menu a right click on the mark of beat `index` opens: the five
  // classes, the beat's own checked.
  std::unique_ptr<QMenu> classMenu(std::size_t index);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void addRequested(double sample);
  void removeRequested(std::size_t index);
  void relabelRequested(std::size_t index, beats::BeatClass beatClass);
  void markRequested(double beginSample, double endSample);
  // Move beat `index` to `sample`; `freely` where it goes exactly there
  // rather than to the QRS complex near it.
  void moveRequested(std::size_t index, double sample, bool freely);
  void clearRequested(double beginSample, double endSample);
  void viewChanged();  // the start or the width changed
  void selectionChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QRectF traceArea() const;
  std::optional<std::size_t> markUnder(double x) const;
  void paintTrace(QPainter& painter, const QRectF& area) const;
  void paintBeats(QPainter& painter, const QRectF& area) const;
  void paintTimes(QPainter& painter, const QRectF& area) const;
  void paintClassLetter(QPainter& painter, double x, beats::BeatClass beatClass) const;
  void stepSelection(int step);
  void requestInsert();
  void keepSelectionVisible();
  void describeSelection();
  bool relabelSelected(const QKeyEvent& event);
  bool moveSelected(const QKeyEvent& event);

  const recordings::Recording* recording_ = nullptr;
  const editing::BeatList* beats_ = nullptr;
  double start_ = 0;
  double widthSeconds_ = 10;
  std::optional<std::size_t> selected_;
  std::optional<double> pressX_;
  std::optional<double> dragX_;
  bool shiftDrag_ = false;
  std::optional<std::size_t> draggedMark_;  // the beat whose mark a drag moves
};

}  // namespace rrscope::ui
