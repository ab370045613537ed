#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "beats/detector_tuning.h"
#include "beats/physiology.h"

namespace rrscope::beats {

// Half the stretch a shape is matched on: the integration hump that finds a
// beat lies near the middle of its complex, so half a wide complex on
// either side holds the whole QRS while the P and T waves, slow and damped
// by the QRS band, add little.
inline constexpr double kShapeHalfSeconds = kWideQrsHalfSeconds;
// How far a beat may lie from its hump and still be aligned: the humps of
// one shape fall within a few samples of the same point of the complex,
// and different shapes within a quarter of a wide complex.
inline constexpr double kShapeLagSeconds = 0.040;

// A hump the thresholds passed over is a beat when a shape that recurred
// in at least five accepted beats, a morphology of the heart rather than
// of noise, matches it closely and at about its size
// (DetectorTuning::hiddenBeatMatch and hiddenBeatGain). Not tuned.
inline constexpr std::size_t kRecurringShape = 5;

// The lead as the shape stage sees it, all at one rate.
struct ShapeSignals {
  std::span<const double> bandPassed;  // the QRS band, which the shapes are matched on
  std::span<const double> lowPassed;   // the lead without pacing spikes and high-frequency
                                       // noise, which the fiducial point is chosen on
  double rate = 0;
};

// One beat placed on the fiducial point of its shape.
struct ShapedBeat {
  double position = 0;         // in samples of ShapeSignals, between samples
  std::size_t shape = 0;       // which of the recording's shapes it has
  std::size_t shapeSize = 0;   // how many beats have that shape
  double correlation = 0;      // how well it matches that shape, -1 to 1
  double gain = 0;             // its size against that shape's mean complex
  double mainCorrelation = 0;  // how well it matches the recording's most common shape
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
                                          std::span<const std::int64_t> possible = {},
                                          const DetectorTuning& tuning = {});

}  // namespace rrscope::beats
