#!/usr/bin/python3
"""Which side moves where the detected and the expert beats disagree.

For each MIT-BIH record named, the normally conducted expert beats (N L R e
j /) matched within 150 ms by a beat of rrscope's detector (the batch
tool's, signal 0 at the record's own rate) fall into two groups: those
whose detected-minus-expert offset lies within 10 ms of the record's
median offset, and the others. The mean complex of each group is formed
twice, aligned on the detected and on the expert points, and the two means
are cross-correlated. A lag near zero when aligned on one side's points and
near the groups' offset difference when aligned on the other's says that
the first side keeps one point on the complex and the second moves.

    PYTHONPATH=build/release/python bench/fiducial-groups.py 108 117 ...

MITDB names the record folder (default ../shared/data/mitdb beside the
repository). Needs the rrscope module and numpy.
"""
import os
import sys

import numpy as np
import rrscope

NORMAL = set("NLRej/")
HERE = os.path.dirname(os.path.abspath(__file__))
MITDB = os.environ.get("MITDB", os.path.join(HERE, "..", "..", "shared", "data", "mitdb"))
SAME_POINT_MS = 10.0   # offsets this close to the median count as the usual point
MATCH_MS = 150.0       # the accuracy bench's matching window
HALF_WINDOW_S = 0.25   # the complex and its surroundings, for the means
MAX_LAG_S = 0.08       # the largest shift tried between the two means


def matched_offsets(record):
    recording = rrscope.read_recording(os.path.join(MITDB, record + ".hea"))
    rate = recording.rate_hz
    detected = rrscope.detect_beats(recording.samples, rate)
    expert = rrscope.read_annotations(os.path.join(MITDB, record + ".atr"))
    positions, offsets = [], []
    for at, label in zip(expert.samples.astype(float), expert.labels):
        if label not in NORMAL or len(detected) == 0:
            continue
        k = np.searchsorted(detected, at)
        near = min((j for j in (k - 1, k) if 0 <= j < len(detected)),
                   key=lambda j: abs(detected[j] - at))
        offset_ms = (detected[near] - at) / rate * 1000
        if abs(offset_ms) <= MATCH_MS:
            positions.append(at)
            offsets.append(offset_ms)
    return recording.samples, rate, np.array(positions), np.array(offsets)


def mean_complex(samples, rate, points):
    half = int(HALF_WINDOW_S * rate)
    rows = [samples[p - half:p + half + 1] for p in np.round(points).astype(int)
            if p - half >= 0 and p + half < len(samples)]
    return np.mean(rows, axis=0)


def best_lag_ms(a, b, rate):
    """The shift of b, in ms, that best matches a (Pearson correlation)."""
    reach = int(MAX_LAG_S * rate)
    middle = slice(reach, len(a) - reach)
    best, best_r = 0, -2.0
    for lag in range(-reach, reach + 1):
        r = np.corrcoef(a[middle], b[reach + lag:len(b) - reach + lag])[0, 1]
        if r > best_r:
            best, best_r = lag, r
    return best / rate * 1000


def main(records):
    print("record  usual  other | offset ms  other-usual | lag ms on detected  on expert")
    for record in records:
        samples, rate, positions, offsets = matched_offsets(record)
        median = np.median(offsets)
        usual = np.abs(offsets - median) <= SAME_POINT_MS
        if usual.all() or (~usual).sum() < 5:
            print(f"{record:6} {usual.sum():6} {(~usual).sum():6} | {median:9.1f}            - |")
            continue
        difference = np.median(offsets[~usual]) - np.median(offsets[usual])
        lags = []
        for on_detected in (True, False):
            shift = offsets * rate / 1000 if on_detected else 0
            points = positions + shift
            lags.append(best_lag_ms(mean_complex(samples, rate, points[usual]),
                                    mean_complex(samples, rate, points[~usual]), rate))
        print(f"{record:6} {usual.sum():6} {(~usual).sum():6} | {median:9.1f} {difference:12.1f} |"
              f" {lags[0]:18.1f} {lags[1]:10.1f}")


if __name__ == "__main__":
    main(sys.argv[1:] or ["102", "105", "108", "111", "114", "117"])
