#pragma once

#include <string>

#include "editing/beat_list.h"

namespace rrscope::editing {

// The NN intervals of a stretch as an RR file: one interval in ms per line,
// in the shortest form that reads back to the same number, LF line ends.
// Other HRV tools import this form, and so does the batch tool (--input=rr).
std::string rrText(const StretchSeries& series);

// The same intervals with their times: a header, then per interval the time
// of its last beat in seconds from the recording's start, the interval in
// ms, and the source of its last beat.
std::string rrCsv(const StretchSeries& series, const BeatList& beats);

}  // namespace rrscope::editing
