#pragma once

#include <QIcon>

namespace rrscope::ui {

// The application's icon, drawn rather than loaded: a dark monitor screen
// with a green heartbeat trace, at 16, 32 and 48 pixels.
QIcon applicationIcon();

}  // namespace rrscope::ui
