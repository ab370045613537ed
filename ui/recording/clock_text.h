#pragma once

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

}  // namespace rrscope::ui
