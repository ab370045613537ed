#pragma once

#include <QColor>

#include "beats/beat_class.h"
#include "editing/beat_list.h"

namespace rrscope::ui {

// The colours the recording window marks things in, one place for all its
// views and its legend.
QColor beatColour(editing::BeatSource source);
// The mark of a beat other than N: its class's colour, which no source
// shares; an N beat keeps the colour of its source.
QColor classColour(beats::BeatClass beatClass);
QColor markColour(editing::BeatSource source, beats::BeatClass beatClass);
QColor unreadableColour();
QColor stretchColour();
QColor cursorColour();
QColor editedColour();  // the tachogram's dots on corrected or edited beats

// The Russian name of a beat's source, as the legend and screen readers say it.
QString beatSourceName(editing::BeatSource source);

// The Russian name of a class with its letter, "Желудочковый (V)", as the
// menu, the legend and screen readers say it.
QString beatClassName(beats::BeatClass beatClass);

}  // namespace rrscope::ui
