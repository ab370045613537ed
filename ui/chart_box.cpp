#include "ui/chart_box.h"

#include <QPainter>

#include "ui/raster_surface.h"

namespace rrscope::ui {

ChartBox::ChartBox(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
  setFocusPolicy(Qt::NoFocus);
}

void ChartBox::showDrawing() {
  renderImage();
  update();
}

void ChartBox::renderImage() {
  const SurfaceLook look{font(), palette().color(QPalette::WindowText),
                         palette().color(QPalette::Window)};
  image_ = rasterize(displayList_, contentsRect().size(), devicePixelRatioF(), look);
}

void ChartBox::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  // The box may have moved to a screen of another pixel density since the
  // image was made, or never have been rendered at all.
  if (image_.isNull() || image_.devicePixelRatio() != devicePixelRatioF() ||
      image_.size() != contentsRect().size() * devicePixelRatioF()) {
    renderImage();
  }
  QPainter painter(this);
  painter.drawImage(contentsRect().topLeft(), image_);
}

}  // namespace rrscope::ui
