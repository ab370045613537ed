#pragma once

#include <QLabel>

namespace rrscope::ui {

// A label whose caption stands left-aligned from its top-left corner and is
// broken into lines at blanks only; what does not fit is cut off. text()
// keeps the caption as it was set.
class CaptionLabel : public QLabel {
  Q_OBJECT

 public:
  CaptionLabel(const QString& caption, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace rrscope::ui
