#include "ui/window_accessibility.h"

#include <QAccessibleWidget>
#include <QDialog>
#include <QMainWindow>

namespace rrscope::ui {
namespace {

// A top-level plain widget, asked about under its own class name; dialogs
// and main windows keep the roles Qt gives them.
QAccessibleInterface* windowAsFrame(const QString& className, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (widget == nullptr || !widget->isWindow() || widget->windowType() != Qt::Window ||
      className != QLatin1String(object->metaObject()->className()) ||
      qobject_cast<QDialog*>(widget) != nullptr || qobject_cast<QMainWindow*>(widget) != nullptr) {
    return nullptr;
  }
  return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void exposeWindowsAsFrames() {
  QAccessible::installFactory(windowAsFrame);
}

}  // namespace rrscope::ui
