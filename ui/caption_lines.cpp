#include "ui/caption_lines.h"

namespace rrscope::ui {

QStringList captionLines(const QString& caption, const QFontMetrics& metrics, int width) {
  const QStringList words = caption.split(QLatin1Char(' '));
  QStringList lines;
  QString line = words.front();
  for (qsizetype i = 1; i < words.size(); ++i) {
    const QString longer = line + QLatin1Char(' ') + words[i];
    // Blanks never start a new line, and a line holds at least one word.
    if (words[i].isEmpty() || line.trimmed().isEmpty() ||
        metrics.horizontalAdvance(longer) <= width) {
      line = longer;
      continue;
    }
    while (line.endsWith(QLatin1Char(' '))) line.chop(1);  // the blanks at a break
    lines << line;
    line = words[i];
  }
  lines << line;
  return lines;
}

void paintCaption(QPainter& painter, const QRect& box, const QString& caption,
                  Qt::Alignment horizontal) {
  const QFontMetrics metrics = painter.fontMetrics();
  int top = box.top();
  for (const QString& line : captionLines(caption, metrics, box.width())) {
    if (top >= box.bottom()) break;
    const QRect lineBox(box.left(), top, box.width(), metrics.height());
    painter.drawText(lineBox, static_cast<int>(horizontal | Qt::AlignTop | Qt::TextSingleLine),
                     line);
    top += metrics.lineSpacing();
  }
}

}  // namespace rrscope::ui
