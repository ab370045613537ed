#include <QApplication>

#include "ui/form1.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  rrscope::Form1 window;
  window.show();
  return application.exec();
}
