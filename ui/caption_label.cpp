#include "ui/caption_label.h"

#include <QPainter>

#include "ui/caption_lines.h"

namespace rrscope::ui {

CaptionLabel::CaptionLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent) {
  setTextFormat(Qt::PlainText);
}

void CaptionLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  paintCaption(painter, contentsRect(), text(), Qt::AlignLeft);
}

}  // namespace rrscope::ui
