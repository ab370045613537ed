#pragma once

#include <QRectF>
#include <QString>
#include <optional>

namespace rrscope::ui {

// Seconds from the recording's start as the window writes them: "H:MM:SS",
// with tenths when `tenths` is set ("0:05:07.3").
QString clockText(double seconds, bool tenths = false);

// Reads what a user types for a time: "H:MM:SS", "MM:SS" or seconds, each
// with an optional decimal part (point or comma). None for anything else
// or a negative time.
std::optional<double> parseClock(const QString& text);

// The box of a label `width` wide under the tick at `x`: centred on it, but
// moved inside [0, `right`) where it would be cut off at either end.
QRectF clockLabelBox(double x, double width, double top, double height, double right);

}  // namespace rrscope::ui
