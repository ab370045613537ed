// The "+" and "-" buttons beside the chart scales, and the restore button.
#include <QString>

#include "analysis/window_defaults.h"
#include "text/number_text.h"
#include "text/numeric_parse.h"
#include "ui/form1.h"

namespace rrscope {

void Form1::stepParameter(TextBox box, double step) {
  // Each press starts from what the box shows, so hand edits count and the
  // 15 digits written last time keep rounding errors from piling up.
  const std::string current = text(box);
  const std::optional<double> value = text::numericParse(current);
  if (!value) {
    const RunError error({.cause = ErrorCause::parameterBeyondRange, .fields = {{box, current}}});
    reportError(RunReport{"stepParameter", error.facts()});
    return;
  }
  setTextBox(box, text::signedNumberText(*value + step));
}

void Form1::restoreDefaults() {
  // The defaults go back as their own texts ("0.4", with the 0), not as
  // number texts, one box after another in this fixed order.
  for (const TextBox box :
       {TextBox::Text1, TextBox::Text2, TextBox::Text4, TextBox::Text3, TextBox::Text7,
        TextBox::Text9, TextBox::Text8, TextBox::Text5, TextBox::Text6}) {
    setTextBox(box, initialText(box));
  }
}

}  // namespace rrscope
