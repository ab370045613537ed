#pragma once

#include <QColor>

#include "pipeline/beat_list.h"

namespace rrscope::ui {

// The colours the recording window marks things in, one place for all its
// views and its legend.
QColor beatColour(pipeline::BeatSource source);
QColor unreadableColour();
QColor stretchColour();
QColor cursorColour();
QColor editedColour();  // the tachogram's dots on corrected or edited beats

// The Russian name of a beat's source, as the legend and screen readers say it.
QString beatSourceName(pipeline::BeatSource source);

}  // namespace rrscope::ui
