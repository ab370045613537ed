// The "+" and "-" buttons beside the chart scales, and the restore button.
#include <QString>

#include "analysis/window_defaults.h"
#include "text/number_text.h"
#include "text/numeric_parse.h"
#include "ui/form1.h"

namespace rrscope {

void Form1::stepParameter(analysis::TextBox box, double step) {
  // Each press starts from what the box shows, so hand edits count and the
  // 15 digits written last time keep rounding errors from piling up.
  const std::string current = text(box);
  const std::optional<double> value = text::numericParse(current);
  if (!value) {
    const analysis::RunError error(
        {.cause = analysis::ErrorCause::parameterBeyondRange, .fields = {{box, current}}});
    reportError(analysis::RunReport{"stepParameter", error.facts()});
    return;
  }
  setTextBox(box, text::signedNumberText(*value + step));
}

void Form1::restoreDefaults() {
  // The defaults go back as their own texts ("0.4", with the 0), not as
  // number texts, one box after another in this fixed order.
  for (const analysis::TextBox box :
       {analysis::TextBox::Text1, analysis::TextBox::Text2, analysis::TextBox::Text4,
        analysis::TextBox::Text3, analysis::TextBox::Text7, analysis::TextBox::Text9,
        analysis::TextBox::Text8, analysis::TextBox::Text5, analysis::TextBox::Text6}) {
    setTextBox(box, analysis::initialText(box));
  }
}

}  // namespace rrscope
