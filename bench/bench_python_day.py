"""Times the Python module against rrscope-batch on the day-long recording
of bench/bench-recordings, side by side in one run so that a shared
machine's load weighs on both alike.

    PYTHONPATH=build/release/python /usr/bin/python3 bench/bench_python_day.py DAY.hea BATCH [RUNS]

Each run times, in turn: rrscope-batch --hrv DAY.hea; in this process
read_recording + detect_beats + nn_intervals + hrv (the steps a user
writes); read_recording + analyse + hrv (the batch tool's analysis);
analyse(path) + hrv (the same from the converter's values, without the
float64 samples); and detect_beats alone.
With NeuroKit2 importable it also times its ecg_peaks + hrv_time on the
same samples. Prints the median wall time of each, and the CPU and system
time of this process's detection.
"""

import resource
import statistics
import subprocess
import sys
import time

import rrscope


def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime, usage.ru_stime


def timed(step):
    start, (user, system) = time.perf_counter(), cpu_seconds()
    step()
    after_user, after_system = cpu_seconds()
    return time.perf_counter() - start, after_user - user, after_system - system


def main():
    record, batch = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    recording = rrscope.read_recording(record)

    def steps():
        read = rrscope.read_recording(record)
        beats, unreadable = rrscope.detect_beats(read.samples, read.rate_hz, quality=True,
                                                 invalid=read.invalid)
        rrscope.hrv(rrscope.nn_intervals(beats, read.rate_hz, unreadable))

    def whole():
        rrscope.hrv(rrscope.analyse(rrscope.read_recording(record)))

    def by_path():
        rrscope.hrv(rrscope.analyse(record))

    routes = {
        "rrscope-batch --hrv": lambda: subprocess.run([batch, "--hrv", record], check=True,
                                                      stdout=subprocess.DEVNULL),
        "python read+detect+nn+hrv": steps,
        "python read+analyse+hrv": whole,
        "python analyse(path)+hrv": by_path,
        "python detect_beats alone": lambda: rrscope.detect_beats(recording.samples, recording.rate_hz),
    }
    try:
        import neurokit2

        def neurokit():
            _, info = neurokit2.ecg_peaks(recording.samples, sampling_rate=recording.rate_hz)
            neurokit2.hrv_time(info, sampling_rate=recording.rate_hz)

        routes["neurokit2 ecg_peaks+hrv_time"] = neurokit
    except ImportError:
        print("neurokit2: not installed, skipped")

    times = {name: [] for name in routes}
    for _ in range(runs):
        for name, route in routes.items():
            times[name].append(timed(route))
    print(f"{recording.samples.size} samples at {recording.rate_hz} Hz, median of {runs} runs")
    for name, measured in times.items():
        wall = statistics.median(t[0] for t in measured)
        user = statistics.median(t[1] for t in measured)
        system = statistics.median(t[2] for t in measured)
        cpu = "" if name.startswith("rrscope-batch") else f", user {user:.2f} s, system {system:.2f} s"
        print(f"{name:32} wall {wall:.2f} s{cpu}")


if __name__ == "__main__":
    main()
