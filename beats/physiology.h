#pragma once

// Durations of the heart's electrical cycle that the detector, the
// correction and the joining of blocks and leads rely on. Each is a fact of
// the heart, not of one algorithm, so every part that needs one takes it
// from here.

namespace rrscope::beats {

// No two QRS complexes come closer than the ventricles can repolarise:
// 200 ms, the refractory period of Pan and Tompkins (1985). A complex closer
// than that to a beat is part of it, or that beat seen twice.
inline constexpr double kRefractorySeconds = 0.200;

// Two detections of one beat lie closer than half the refractory period:
// a QRS complex reaches every lead within a few tens of ms and two waves of
// one complex lie closer still, while two beats lie a whole refractory
// period apart at least.
inline constexpr double kSameBeatSeconds = kRefractorySeconds / 2;

// A candidate this soon after a beat may be the T wave of that beat: 360 ms,
// the T-wave window of Pan and Tompkins (1985).
inline constexpr double kTWaveSeconds = 0.360;

// A normally conducted QRS complex spans up to 60 ms on either side of its
// fiducial point (120 ms in all, the upper bound of a narrow complex); what
// lies beyond that between two beats is P wave, T wave, baseline and noise.
inline constexpr double kNarrowQrsHalfSeconds = 0.060;

// A wide complex (ventricular, bundle branch block, paced) lasts up to some
// 160 ms: 80 ms on either side of its middle holds the whole of it.
inline constexpr double kWideQrsHalfSeconds = 0.080;

}  // namespace rrscope::beats
