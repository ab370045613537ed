#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace rrscope::ui {

// Shows a cursor over the whole application for as long as it lives.
// Override cursors stack, so a pointer inside a busy stretch works too.
class OverrideCursor {
 public:
  explicit OverrideCursor(Qt::CursorShape shape) { QGuiApplication::setOverrideCursor(shape); }
  ~OverrideCursor() { QGuiApplication::restoreOverrideCursor(); }
  OverrideCursor(const OverrideCursor&) = delete;
  OverrideCursor& operator=(const OverrideCursor&) = delete;
};

}  // namespace rrscope::ui
