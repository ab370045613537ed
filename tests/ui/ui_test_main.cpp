#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

#include "ui/russian_dialogs.h"
#include "ui/window_accessibility.h"

int main(int argc, char* argv[]) {
  // The window tests need no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // As the program starts: Qt's own texts in Russian, windows as frames.
  rrscope::ui::installRussianQtTexts(application);
  rrscope::ui::exposeWindowsAsFrames();
  // The debug frame follows the locale's decimal point; pin it, so the
  // expected texts hold on any machine. Tests that need another set it.
  QLocale::setDefault(QLocale::c());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
