#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "recordings/channel_choice.h"
#include "recordings/read_recording.h"

namespace rrscope::recordings {

// The channels whose beats join those of the chosen channel `primary`, that
// channel first: every other channel at its rate whose label looks like ECG
// (a respiration or blood-pressure channel has no QRS complex to add).
// Where no other label looks like ECG and `fallback` is takeFirst (WFDB,
// whose labels are optional), every other channel at its rate. Channels at
// another rate are left out: their beats would be counted in other samples.
std::vector<std::size_t> chooseLeads(std::span<const ChannelListing> channels, std::size_t primary,
                                     WithoutEcgLabel fallback);

}  // namespace rrscope::recordings
