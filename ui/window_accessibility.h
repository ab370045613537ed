#pragma once

namespace rrscope::ui {

// Shows the program's windows to assistive technology as frames: Qt gives
// a plain widget that is a window the role of a client area ("filler"), so
// a screen reader would not announce them as windows. Installing twice
// does nothing more.
void exposeWindowsAsFrames();

}  // namespace rrscope::ui
