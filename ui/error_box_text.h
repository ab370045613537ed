#pragma once

#include <string>

#include "analysis/run_error.h"

class QWidget;

namespace rrscope::ui {

// The window's error box in Russian: a title that names the kind of error,
// and one or two sentences that name the field by its caption, quote the
// offending text and say what to do.
struct ErrorBoxText {
  std::string title;
  std::string text;
};

ErrorBoxText errorBoxText(const analysis::ErrorFacts& facts);

// Shows the error box over `parent` and waits until the user closes it.
void showErrorBox(QWidget* parent, const analysis::ErrorFacts& facts);

}  // namespace rrscope::ui
