"""What users of the field's tools pass: strided and big-endian arrays,
paths, record names, numpy integers, windows as text; and what they must
not get: a binary file read as text, or a Ctrl+C that waits."""

import os
import signal
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import rrscope


@pytest.fixture(scope="module")
def lead(example_record):
    recording = rrscope.read_recording(example_record)
    return recording.samples, recording.rate_hz


@pytest.mark.parametrize("layout", ["strided column", "big-endian", "reversed twice"])
def test_any_layout_of_the_samples_gives_the_same_beats(lead, layout):
    samples, rate = lead
    arranged = {
        "strided column": lambda: np.stack([samples, -samples], axis=1)[:, 0],
        "big-endian": lambda: samples.astype(">f8"),
        "reversed twice": lambda: samples[::-1][::-1],
    }[layout]()
    np.testing.assert_array_equal(rrscope.detect_beats(arranged, rate), rrscope.detect_beats(samples, rate))


def test_records_are_named_as_wfdb_users_name_them(example_record):
    by_header = rrscope.read_recording(str(example_record))
    for name in (example_record, example_record.with_suffix(""), str(example_record.with_suffix(""))):
        np.testing.assert_array_equal(rrscope.read_recording(name).samples, by_header.samples)
    assert rrscope.read_recording(example_record, signal=np.int64(0)).channel == by_header.channel


def test_samples_are_read_only(example_record):
    with pytest.raises(ValueError, match="read-only"):
        rrscope.read_recording(example_record).samples[0] = 1.0


def test_unreadable_files_raise_the_batch_tools_message(example_record, records, tmp_path):
    with pytest.raises(OSError, match="cannot be opened .No such file or directory"):
        rrscope.read_recording(tmp_path / "223")
    annotations = [record.with_suffix(".atr") for record in records if record.with_suffix(".atr").exists()]
    for binary in [example_record.with_suffix(".dat")] + annotations:
        with pytest.raises(OSError, match="binary data"):
            rrscope.read_recording(binary)


@pytest.mark.parametrize("windows", ["60:30", (60, 30), [60.0, 30.0], (np.int64(60), 30)])
def test_windows_as_text_or_pair(windows):
    intervals = 800.0 + 50 * np.sin(np.arange(400))
    assert len(rrscope.hrv(intervals, windows=windows)) == len(rrscope.hrv(intervals, windows=(60, 30)))


@pytest.mark.parametrize("windows", ["60", "60:x", (60,), 300, (True, 30)])
def test_bad_windows_name_the_argument(windows):
    with pytest.raises(ValueError, match="windows must be"):
        rrscope.hrv([800.0] * 100, windows=windows)


def interrupted_after(seconds, call):
    """The delay from a SIGINT `seconds` into `call` to its KeyboardInterrupt."""
    sent = []

    def interrupt():
        sent.append(time.monotonic())
        os.kill(os.getpid(), signal.SIGINT)

    timer = threading.Timer(seconds, interrupt)
    timer.start()
    try:
        call()
    except KeyboardInterrupt:
        return time.monotonic() - sent[0]
    finally:
        timer.cancel()
    pytest.skip("the call ended before the signal")


def test_ctrl_c_stops_long_calls_within_a_second():
    # Twelve hours of a spiky 72-per-minute rhythm: over a second to detect.
    rate = 360.0
    hours = np.sin(np.arange(int(rate * 3600 * 12)) * (2 * np.pi * 1.2 / rate)) ** 15
    assert interrupted_after(0.2, lambda: rrscope.detect_beats(hours, rate)) < 1
    intervals = 800.0 + 50 * np.sin(np.arange(100_000) / 7)
    assert interrupted_after(0.2, lambda: rrscope.hrv(intervals, windows=(300, 2))) < 1


def test_the_qrs_signal_peaks_where_the_detector_places_beats(lead):
    samples, rate = lead
    beats = rrscope.detect_beats(samples, rate, method="pan-tompkins")
    signal = rrscope.qrs_signal(samples, rate)
    assert len(signal["positions"]) == len(signal["band_passed"]) == len(signal["integrated"])
    # The integration window (150 ms) around each beat holds far more of
    # the squared slope than the lead does on the whole.
    nearest = np.searchsorted(signal["positions"], beats[2:-2])
    assert np.median(signal["integrated"][nearest]) > 5 * np.median(signal["integrated"])
    with pytest.raises(ValueError, match="pan-tompkins"):
        rrscope.detect_beats(samples, rate, method="threshold")


def test_a_pipe_without_a_writer_is_refused_without_waiting(tmp_path):
    pipe = tmp_path / "samples.txt"
    os.mkfifo(pipe)
    script = f"import rrscope\ntry:\n    rrscope.read_recording({str(pipe)!r})\nexcept OSError as error:\n    print(error)"
    run = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True, timeout=20)
    assert "no program writes to" in run.stdout, run.stdout + run.stderr
