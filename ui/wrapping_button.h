#pragma once

#include <QPushButton>

namespace rrscope::ui {

// A push button whose caption is centred and broken into lines at blanks
// when it is wider than the button, as on the tall restore button; text()
// keeps the caption unchanged.
class WrappingButton : public QPushButton {
  Q_OBJECT

 public:
  WrappingButton(const QString& caption, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace rrscope::ui
