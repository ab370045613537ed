#pragma once

#include <span>

#include "beats/detected_beats.h"
#include "beats/physiology.h"

namespace rrscope::pipeline {

// Beats of different leads this close are one beat (beats::kSameBeatSeconds,
// 100 ms).
inline constexpr double kSameBeatMs = beats::kSameBeatSeconds * 1000;

// One series from the beats of several leads at the same `rate`, the
// primary lead first; positions and stretches stay in that lead's samples.
//
// Beats within kSameBeatMs of one another, once each lead is aligned to the
// primary (alignLead), are one beat. It stands when at least half of the
// leads readable there see it, a tie only when the primary is among them:
// with two leads, the primary keeps every beat it sees where it is readable,
// as a single lead would, and the other lead adds only the beats it sees
// where the primary cannot be read, and takes away only the primary's beats
// there. Where no lead is readable, the primary's beats stand as detected.
// Of two merged beats closer than the 200 ms refractory period, only the
// one more readable leads saw stands.
// A beat takes its position from the primary where the primary sees it and
// is readable, otherwise from the readable lead aligned on the most beats,
// shifted by that lead's offset, so that the intervals across the series
// measure the same fiducial point.
//
// The merged unreadable stretches are those where every lead is unreadable.
beats::DetectedBeats mergeLeads(std::span<const beats::DetectedBeats> leads, double rate);

}  // namespace rrscope::pipeline
