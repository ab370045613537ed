"""Large arrays pass without a copy, and the work runs without the GIL."""

import subprocess
import sys
import textwrap
import threading

import numpy as np

import rrscope

TEN_MILLION = 10_000_000


# Ten million samples of a spiky 72-per-minute rhythm, made a million at a
# time so that the peak memory holds the array and little else.
SETUP = """
samples = np.empty({n})
for first in range(0, {n}, 1_000_000):
    samples[first:first + 1_000_000] = np.sin(np.arange(first, first + 1_000_000) * (2 * np.pi * 1.2 / 360)) ** 15
""".format(n=TEN_MILLION)


def peak_growth_mib(body):
    """The growth of the peak resident memory of a fresh interpreter over
    `body`, after `setup` has made its arrays.

    The peak is reset just before `body` (writing 5 to clear_refs): a child
    starts with its parent's peak, which would hide the growth under a large
    parent and make any figure meaningless."""
    script = textwrap.dedent(
        """
        import numpy as np, rrscope

        def peak_mib():
            with open("/proc/self/status") as status:
                for line in status:
                    if line.startswith("VmHWM:"):
                        return int(line.split()[1]) / 1024
            raise RuntimeError("no VmHWM in /proc/self/status")

        {setup}
        with open("/proc/self/clear_refs", "w") as clear:
            clear.write("5")
        before = peak_mib()
        {body}
        print(peak_mib() - before)
        """
    ).format(setup=SETUP, body=body)
    run = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, check=True)
    return float(run.stdout.strip())


def test_ten_million_samples_are_detected_without_a_copy():
    # A copy of the 76 MiB of samples would show; the detector's blocks of
    # ten minutes take some ten MiB on each core, which keeps them from one
    # block to the next.
    assert peak_growth_mib("copy = samples.copy()") > 50  # what a copy shows
    assert peak_growth_mib("beats = rrscope.detect_beats(samples, 360.0)") < 40


def test_a_read_recordings_samples_are_handed_over_without_a_copy(tmp_path):
    values = (np.sin(np.arange(TEN_MILLION) * 0.01) * 1000).astype("<i2")
    (tmp_path / "long.dat").write_bytes(values.tobytes())
    (tmp_path / "long.hea").write_text(f"long 1 360 {TEN_MILLION}\nlong.dat 16 200 16 0 0 0 0 ECG\n")
    recording = rrscope.read_recording(str(tmp_path / "long.hea"))
    first = recording.samples
    assert first.shape == (TEN_MILLION,) and first.dtype == np.float64
    assert np.shares_memory(first, recording.samples)  # a view of the recording, not a copy
    assert first[1] == values[1] / 200.0


def test_detection_releases_the_gil():
    samples = np.sin(np.arange(TEN_MILLION // 2) * (2 * np.pi * 1.2 / 360)) ** 15
    done = threading.Event()
    worker = threading.Thread(target=lambda: (rrscope.detect_beats(samples, 360.0), done.set()))
    steps = 0
    worker.start()
    while not done.is_set():
        steps += 1  # runs only while the detector does not hold the GIL
    worker.join()
    assert steps > 10_000
