#pragma once

#include <vector>

#include "beats/sample_source.h"

namespace rrscope::batch {

// The R peaks of a recording of any length, found block by block: each
// block is read with a margin on both sides, long enough for the detector to
// learn its thresholds and to see the beats beside the block's edges, and
// keeps only the peaks inside the block. The detector's buffers then grow
// with the block rather than with the recording, and the blocks spread over
// the cores. Returns 0-based sample indices, increasing.
std::vector<double> detectRPeaksInBlocks(const beats::SampleSource& samples, double rate);

}  // namespace rrscope::batch
