#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace rrscope::beats {

// The lead as the shape stage sees it, all at one rate.
struct ShapeSignals {
  std::span<const double> bandPassed;  // the QRS band, which the shapes are matched on
  std::span<const double> lowPassed;   // the lead without pacing spikes and high-frequency
                                       // noise, which the fiducial point is chosen on
  double rate = 0;
};

// One beat placed on the fiducial point of its shape.
struct ShapedBeat {
  double position = 0;        // in samples of ShapeSignals, between samples
  std::size_t shape = 0;      // which of the recording's shapes it has
  std::size_t shapeSize = 0;  // how many beats have that shape
  double correlation = 0;     // how well it matches that shape, -1 to 1
  double gain = 0;            // its size against that shape's mean complex
};

// Learns the QRS shapes of the beats near `approximate` (sample indices of
// ShapeSignals, increasing) and places every beat by aligning it to its
// shape. Each shape has one fiducial point, chosen once on the mean of its
// beats: its R peak, or its dominant deflection when it has no R wave. A
// shape that resembles a more common one takes that one's fiducial point, so
// a beat whose complex changes a little keeps its timing.
//
// `possible` (increasing too) are humps the thresholds passed over: each
// becomes a beat when it matches a recurring shape closely and at about its
// size, as a complex of that shape too small for the thresholds does.
// Returns the beats of `approximate` and those found among `possible`, in
// increasing order of their humps.
std::vector<ShapedBeat> placeBeatsByShape(const ShapeSignals& signals,
                                          std::span<const std::int64_t> approximate,
                                          std::span<const std::int64_t> possible = {});

}  // namespace rrscope::beats
