#pragma once

#include <QIcon>

class QPainter;

namespace rrscope::ui {

// The application's icon, drawn rather than loaded: a dark monitor screen
// with a green heartbeat trace, at 16, 32 and 48 pixels.
QIcon applicationIcon();

// Paints that icon into the square from (0, 0) to (size, size) of any paint
// device: the window's pixmaps, and the icon files of the desktop.
void paintApplicationIcon(QPainter& painter, double size);

}  // namespace rrscope::ui
