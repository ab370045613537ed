#pragma once

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QStringList>

namespace rrscope::ui {

// Breaks a caption into lines at blanks only, each as long as `width` allows.
// A word wider than a line keeps its line and is cut off at the edge, so
// "0.870166666666667" in a narrow box reads "0.8701" rather than breaking
// after its point, and "(t-tau)" never breaks at its hyphen. Runs of blanks
// inside a line stay as they are.
QStringList captionLines(const QString& caption, const QFontMetrics& metrics, int width);

// Paints the lines of a caption from the top of `box`, each aligned as
// `horizontal` says; lines below the box are cut off by its edge.
void paintCaption(QPainter& painter, const QRect& box, const QString& caption,
                  Qt::Alignment horizontal);

}  // namespace rrscope::ui
