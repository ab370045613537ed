#pragma once

#include <array>
#include <string>
#include <string_view>

#include "charts/display_list.h"

namespace rrscope::charts {

// A display list as a JSON array, one array per operation:
// ["Cls"], ["DrawWidth", w], ["Line", x1, y1, x2, y2, colour], ["CurrentX", x],
// ["CurrentY", y], ["Circle", r, colour], ["Print", "text"]. Coordinates and
// radii are written as the shortest decimal that reads back to the same float.
std::string displayListJson(const DisplayList& list);

// The five surfaces as one JSON object keyed "Picture1" to "Picture5".
std::string displayListsJson(const std::array<const DisplayList*, 5>& lists);

// Appends `text` as a JSON string literal, quotes included.
void appendJsonString(std::string& out, std::string_view text);

}  // namespace rrscope::charts
