#include "ui/recording/beat_colours.h"

#include <QString>

namespace rrscope::ui {

// Colours that stay apart for the common colour-vision deficiencies.
QColor beatColour(pipeline::BeatSource source) {
  switch (source) {
    case pipeline::BeatSource::detected:
      return QColor(0, 90, 181);  // blue
    case pipeline::BeatSource::moved:
      return QColor(230, 159, 0);  // orange
    case pipeline::BeatSource::inserted:
      return QColor(0, 158, 115);  // green
    case pipeline::BeatSource::added:
      return QColor(204, 121, 167);  // purple
  }
  return Qt::black;
}

// Opaque, drawn under the traces: blending translucent colours over large
// areas costs the raster engine tens of milliseconds a frame.
QColor unreadableColour() {
  return QColor(214, 214, 214);
}

QColor stretchColour() {
  return QColor(221, 238, 250);
}

QColor cursorColour() {
  return QColor(213, 94, 0);
}

QColor editedColour() {
  return QColor(213, 94, 0);
}

QString beatSourceName(pipeline::BeatSource source) {
  switch (source) {
    case pipeline::BeatSource::detected:
      return QStringLiteral("найден детектором");
    case pipeline::BeatSource::moved:
      return QStringLiteral("сдвинут коррекцией");
    case pipeline::BeatSource::inserted:
      return QStringLiteral("вставлен коррекцией");
    case pipeline::BeatSource::added:
      return QStringLiteral("добавлен вручную");
  }
  return {};
}

}  // namespace rrscope::ui
