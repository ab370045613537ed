#pragma once

#include <cstdlib>

namespace rrscope::batch {

// Without a display Qt draws offscreen, unless the user chose a platform
// already. Call before the Qt application is made.
inline void chooseOffscreenWithoutDisplay() {
  const auto unset = [](const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr || *value == '\0';
  };
  if (unset("DISPLAY") && unset("WAYLAND_DISPLAY") && unset("QT_QPA_PLATFORM")) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
}

}  // namespace rrscope::batch
