"""Bad arrays and files raise Python exceptions with the batch tool's
messages; nothing crashes the interpreter."""

import numpy as np
import pytest

import rrscope

RATE = 250.0
GOOD = np.sin(np.linspace(0, 200, 5000))


@pytest.mark.parametrize(
    "samples, message",
    [
        (np.array([]), "empty"),
        (np.array([0.0, np.nan, 1.0] * 100), r"samples\[1\] is nan"),
        (np.array([0.0, np.inf] * 100), r"samples\[1\] is infinite"),
        (np.array(["a", "b"]), "real numbers"),
        (np.zeros(100, dtype=complex), "real numbers"),
        (np.zeros((2, 500)), "one-dimensional"),
        (np.zeros(1000)[::2], "contiguous"),
        ("not an array", "real numbers"),
    ],
)
def test_bad_samples_are_value_errors(samples, message):
    with pytest.raises(ValueError, match=message):
        rrscope.detect_beats(samples, RATE)


def test_bad_rates_leads_and_options_are_value_errors():
    for rate in (0.0, -1.0, float("nan"), 1e300, 30.0):
        with pytest.raises(ValueError):
            rrscope.detect_beats(GOOD, rate)
    with pytest.raises(ValueError, match="equally long"):
        rrscope.detect_beats(GOOD, RATE, leads=[GOOD[:-1]])
    with pytest.raises(ValueError, match="increasing order"):
        rrscope.correct_artefacts([10.0, 5.0, 20.0], RATE)
    with pytest.raises(ValueError, match="match window"):
        rrscope.score_beats([1.0], [1.0], RATE, window_ms=1e9)
    with pytest.raises(ValueError, match="detrend"):
        rrscope.hrv([800.0] * 10, "linear")
    with pytest.raises(ValueError, match="windows"):
        rrscope.hrv([800.0] * 10, windows=(0, 30))


def test_bad_classes_are_value_errors():
    beats = [100.0, 200.0, 300.0]
    with pytest.raises(ValueError, match="one letter per beat"):
        rrscope.nn_intervals(beats, RATE, classes="NN")
    with pytest.raises(ValueError, match=r"classes\[1\] is no class"):
        rrscope.nn_intervals(beats, RATE, classes="NXN")
    with pytest.raises(ValueError, match="a str"):
        rrscope.nn_intervals(beats, RATE, classes=[0, 0, 0])
    with pytest.raises(ValueError, match="exclude"):
        rrscope.nn_intervals(beats, RATE, classes="NNN", ectopic="drop")
    with pytest.raises(ValueError, match=r"beats\[2\] lies outside"):
        rrscope.classify_beats(GOOD, RATE, [10.0, 20.0, len(GOOD)])
    with pytest.raises(ValueError, match="increasing order"):
        rrscope.classify_beats(GOOD, RATE, [20.0, 10.0])


@pytest.mark.parametrize("interval", [1e308, 1e10, 1e-320, 5.0, -800.0])
def test_intervals_outside_a_heart_name_their_index(interval):
    with pytest.raises(ValueError, match=r"intervals_ms\[2\]"):
        rrscope.hrv([800.0, 810.0, interval, 790.0])


def test_an_empty_series_has_every_measure_undefined_with_its_reason():
    measures = rrscope.hrv(np.array([]))
    assert measures["rmssd_ms"] is None
    assert measures["undefined"]["rmssd_ms"]


def test_files_that_cannot_be_read_are_os_errors_naming_them(tmp_path):
    missing = tmp_path / "missing.hea"
    with pytest.raises(OSError, match="missing.hea"):
        rrscope.read_recording(str(missing))
    (tmp_path / "bad.hea").write_text("bad 1 360 100\nbad.dat 999 200\n")
    with pytest.raises(OSError, match="signal format 999 is not supported"):
        rrscope.read_recording(str(tmp_path / "bad.hea"))
    (tmp_path / "back.atr").write_bytes(bytes([0x00, 0xEC, 0x01, 0x00]))  # a skip cut short
    with pytest.raises(OSError, match="back.atr"):
        rrscope.read_annotations(str(tmp_path / "back.atr"))
    with pytest.raises(ValueError, match="signal"):
        rrscope.read_recording(str(tmp_path / "any.txt"), signal=1)


def test_every_function_has_its_documentation():
    for name in ("read_recording", "read_annotations", "detect_beats", "correct_artefacts",
                 "classify_beats", "nn_intervals", "hrv", "score_beats"):
        assert getattr(rrscope, name).__doc__.count("\n") > 3, name
    assert "detect_beats" in rrscope.__doc__
