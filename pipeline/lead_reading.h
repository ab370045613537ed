#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "pipeline/other_lead.h"
#include "recordings/channel_choice.h"
#include "recordings/recording.h"

namespace rrscope::pipeline {

// The lead a recording is analysed on and, when every ECG lead is wanted,
// the numbers of the others, which detectOtherLeads then reads.
struct PrimaryLead {
  recordings::Recording recording;
  std::vector<std::size_t> otherLeads;
};

// Reads the chosen channel, or with `allLeads` the first of the recording's
// ECG leads as chooseLeads orders them.
PrimaryLead readPrimaryLead(const std::string& file, const recordings::ChannelRequest& request,
                            bool allLeads);

// The beats of the other leads. The leads of a small file are read in one
// pass; those of a large one are each read, detected and let go before
// the next, so that memory holds two leads at most.
std::vector<OtherLead> detectOtherLeads(const std::string& file,
                                        std::span<const std::size_t> numbers,
                                        const recordings::Recording& primary);

}  // namespace rrscope::pipeline
