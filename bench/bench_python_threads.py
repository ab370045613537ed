"""Times rrscope.detect_beats and rrscope.hrv over several copies of a
record, one after another and from a pool of threads, to show that the
module releases the GIL.

    PYTHONPATH=build/release/python /usr/bin/python3 bench/bench_python_threads.py RECORD.hea [COPIES]
"""

import concurrent.futures
import os
import statistics
import sys
import time

import rrscope


def analyse(recording):
    beats = rrscope.detect_beats(recording.samples, recording.rate_hz)
    corrected = rrscope.correct_artefacts(beats, recording.rate_hz, recording.samples)
    return rrscope.hrv(rrscope.nn_intervals(corrected.beats, recording.rate_hz))["rmssd_ms"]


def timed(run):
    times = []
    for _ in range(5):
        start = time.perf_counter()
        run()
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    recording = rrscope.read_recording(sys.argv[1])
    copies = int(sys.argv[2]) if len(sys.argv) > 2 else 8
    workers = os.cpu_count() or 1
    one_by_one = timed(lambda: [analyse(recording) for _ in range(copies)])
    with concurrent.futures.ThreadPoolExecutor(workers) as pool:
        pooled = timed(lambda: list(pool.map(analyse, [recording] * copies)))
    print(f"{copies} analyses of {recording.file} ({len(recording.samples)} samples), medians of 5")
    print(f"  one after another: {one_by_one:.3f} s")
    print(f"  {workers} threads:         {pooled:.3f} s  ({one_by_one / pooled:.2f}x)")


if __name__ == "__main__":
    main()
