#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ui/form1.h"

namespace rrscope::testing {

// A window whose dialog and message box are replaced: the dialog answers
// with `nextFile`, and every error report is kept.
struct TestWindow {
  std::unique_ptr<Form1> form = std::make_unique<Form1>();
  std::string nextFile;
  std::vector<analysis::RunReport> reports;
  int dialogs = 0;

  TestWindow() {
    form->setFileChooser([this] {
      ++dialogs;
      return nextFile;
    });
    form->setErrorReporter(
        [this](const analysis::RunReport& report) { reports.push_back(report); });
  }

  template <class Widget = QWidget>
  Widget* find(const char* name) const {
    return form->findChild<Widget*>(QString::fromUtf8(name));
  }
  void click(const char* button) const { find<QPushButton>(button)->click(); }
  QString labelText(const char* name) const { return find<QLabel>(name)->text(); }
  QString boxText(const char* name) const { return find<QLineEdit>(name)->text(); }
  void type(const char* box, const QString& text) const { find<QLineEdit>(box)->setText(text); }
};

// What the next message box showed.
struct MessageBoxSeen {
  QString title;
  QString text;
};

// Reads and closes the next message box from inside its own event loop.
inline void acceptNextMessageBox(MessageBoxSeen& seen) {
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen.title = box->windowTitle();
    seen.text = box->text();
    box->accept();
  });
}

// A sample file of `lines` lines of "0", with "1" at the given positions
// (from 1): each one is a single-sample R peak.
inline std::string writeSpikes(const QTemporaryDir& folder, const char* name, int lines,
                               const std::set<int>& peaks) {
  const QString path = folder.filePath(QString::fromUtf8(name));
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  QTextStream out(&file);
  for (int position = 1; position <= lines; ++position) {
    out << (peaks.contains(position) ? "1\n" : "0\n");
  }
  return path.toStdString();
}

}  // namespace rrscope::testing
