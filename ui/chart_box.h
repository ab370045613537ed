#pragma once

#include <QFrame>
#include <QImage>

#include "charts/display_list.h"

namespace rrscope::ui {

// A picture box: a sunken 2-pixel border around a drawing area that is 60
// twips narrower and lower than the box. A run draws on its display list;
// once the run is over the list is rendered into an image at the screen's
// pixel ratio, and every repaint shows that image, so a chart survives being
// covered and uncovered without being drawn again.
class ChartBox : public QFrame {
  Q_OBJECT

 public:
  explicit ChartBox(QWidget* parent = nullptr);

  // The surface that runs draw on.
  charts::DisplayList& surface() { return displayList_; }
  const charts::DisplayList& displayList() const { return displayList_; }

  // Renders the display list as it stands now and schedules a repaint.
  void showDrawing();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void renderImage();

  charts::DisplayList displayList_;
  QImage image_;
};

}  // namespace rrscope::ui
