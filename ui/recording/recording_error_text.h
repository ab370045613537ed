#pragma once

#include <QString>
#include <string_view>

namespace rrscope::ui {

// The error box's text for a recording that could not be opened: what went
// wrong in Russian where the reader's reason is a known one, the reader's
// own words after it, and what to do.
QString recordingErrorText(const QString& file, std::string_view reason);

}  // namespace rrscope::ui
