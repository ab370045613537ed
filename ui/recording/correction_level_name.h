#pragma once

#include <QString>

#include "beats/correction_level.h"

namespace rrscope::ui {

// The level as the window names it: "выключена", "автоматическая", "очень
// слабая (0,45 с)" … "очень сильная (0,05 с)".
QString correctionLevelName(beats::CorrectionLevel level);

}  // namespace rrscope::ui
