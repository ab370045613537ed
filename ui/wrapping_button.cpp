#include "ui/wrapping_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

#include "ui/caption_lines.h"

namespace rrscope::ui {

WrappingButton::WrappingButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {}

void WrappingButton::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);

  // The small "+" and "-" buttons are narrower than the style's margins, so
  // the caption gets the whole button less the bevel.
  const int bevel = 2;
  QRect textRect = rect().adjusted(bevel, bevel, -bevel, -bevel);
  if (isDown()) {
    textRect.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  painter.setPen(
      palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  // Lines break at blanks only; the block of lines stands in the middle.
  const QFontMetrics metrics = painter.fontMetrics();
  const auto lineCount = captionLines(text(), metrics, textRect.width()).size();
  const int blockHeight =
      metrics.height() + static_cast<int>(lineCount - 1) * metrics.lineSpacing();
  textRect.setTop(textRect.top() + std::max(0, (textRect.height() - blockHeight) / 2));
  paintCaption(painter, textRect, text(), Qt::AlignHCenter);
}

}  // namespace rrscope::ui
