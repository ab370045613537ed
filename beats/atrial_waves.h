#pragma once

#include <span>
#include <vector>

#include "beats/beat_shapes.h"
#include "beats/detector_tuning.h"

namespace rrscope::beats {

// The beats without those that are P waves: in second-degree block a P wave
// the block kept from the ventricles stands alone in a long interval, and a
// tall narrow one passes the thresholds as a complex would. Such a beat is
// slow against the complexes on either side and has the outline and size
// of the wave that leads the recording's usual complex.
std::vector<ShapedBeat> withoutPWaves(std::span<const ShapedBeat> beats,
                                      const ShapeSignals& signals, std::span<const double> slope,
                                      const DetectorTuning& tuning = {});

}  // namespace rrscope::beats
