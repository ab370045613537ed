#pragma once

#include <vector>

#include "beats/detected_beats.h"
#include "beats/detector_tuning.h"
#include "beats/sample_source.h"
#include "pipeline/progress.h"

namespace rrscope::pipeline {

// The beats and unreadable stretches of a recording of any length, found
// block by block: each block is read with a margin on both sides, long
// enough for the detector to learn its thresholds and its beat shapes and to
// see the beats beside the block's edges, and keeps only what lies inside
// the block. The detector's buffers then grow with the block rather than
// with the recording, and the blocks spread over the cores. Positions are
// 0-based full-rate samples, increasing. `progress`, when given, hears of
// each block done; `tuning` is the detector's (its default but for the
// measurement of how its thresholds matter).
beats::DetectedBeats detectBeatsInBlocks(const beats::SampleSource& samples, double rate,
                                         const Progress& progress = {},
                                         const beats::DetectorTuning& tuning = {});

// Only the beats of detectBeatsInBlocks.
std::vector<double> detectRPeaksInBlocks(const beats::SampleSource& samples, double rate);

}  // namespace rrscope::pipeline
