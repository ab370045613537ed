#include "ui/recording/beat_colours.h"

#include <QString>

namespace rrscope::ui {

// Colours that stay apart for the common colour-vision deficiencies.
QColor beatColour(editing::BeatSource source) {
  switch (source) {
    case editing::BeatSource::detected:
      return QColor(0, 90, 181);  // blue
    case editing::BeatSource::moved:
      return QColor(230, 159, 0);  // orange
    case editing::BeatSource::inserted:
      return QColor(0, 158, 115);  // green
    case editing::BeatSource::added:
      return QColor(204, 121, 167);  // purple
  }
  return Qt::black;
}

// The Okabe–Ito colours the sources leave free, and grey for the beats
// that have no class of their own.
QColor classColour(beats::BeatClass beatClass) {
  switch (beatClass) {
    case beats::BeatClass::N:
      return QColor(0, 90, 181);  // blue, as the detector's beats
    case beats::BeatClass::S:
      return QColor(86, 180, 233);  // sky blue
    case beats::BeatClass::V:
      return QColor(213, 94, 0);  // vermillion
    case beats::BeatClass::F:
      return QColor(240, 228, 66);  // yellow
    case beats::BeatClass::Q:
      return QColor(128, 128, 128);  // grey
  }
  return Qt::black;
}

QColor markColour(editing::BeatSource source, beats::BeatClass beatClass) {
  return beatClass == beats::BeatClass::N ? beatColour(source) : classColour(beatClass);
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

QString beatSourceName(editing::BeatSource source) {
  switch (source) {
    case editing::BeatSource::detected:
      return QStringLiteral("найден детектором");
    case editing::BeatSource::moved:
      return QStringLiteral("сдвинут коррекцией");
    case editing::BeatSource::inserted:
      return QStringLiteral("вставлен коррекцией");
    case editing::BeatSource::added:
      return QStringLiteral("добавлен вручную");
  }
  return {};
}

QString beatClassName(beats::BeatClass beatClass) {
  switch (beatClass) {
    case beats::BeatClass::N:
      return QStringLiteral("Нормальный (N)");
    case beats::BeatClass::S:
      return QStringLiteral("Наджелудочковый (S)");
    case beats::BeatClass::V:
      return QStringLiteral("Желудочковый (V)");
    case beats::BeatClass::F:
      return QStringLiteral("Сливной (F)");
    case beats::BeatClass::Q:
      return QStringLiteral("Неклассифицируемый (Q)");
  }
  return {};
}

}  // namespace rrscope::ui
