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


def test_big_endian_doubles_are_read_as_their_values():
    native = np.exp(-(((np.arange(60 * 250) / 250.0) % 0.8 - 0.1) ** 2) / 0.0002)
    beats = rrscope.detect_beats(native, RATE)
    assert len(beats) > 70
    assert np.array_equal(rrscope.detect_beats(native.astype(">f8"), RATE), beats)


def test_beats_out_of_order_are_refused_by_the_scoring():
    with pytest.raises(ValueError, match="reference must be in increasing order"):
        rrscope.score_beats([100.0, 200.0, 300.0], [300.0, 200.0, 100.0], RATE)
    with pytest.raises(ValueError, match="detected must be in increasing order"):
        rrscope.score_beats([300.0, 200.0, 100.0], [100.0, 200.0, 300.0], RATE)


def test_a_path_with_a_nul_byte_reads_no_other_file(example_record):
    for read in (rrscope.read_recording, rrscope.read_annotations):
        with pytest.raises(ValueError, match="NUL byte"):
            read(str(example_record) + "\0.ignored")


@pytest.mark.parametrize("signal", [True, False, 2**70, -1])
def test_a_signal_that_is_no_channel_number_is_a_value_error(example_record, signal):
    with pytest.raises(ValueError, match="signal must be a channel number"):
        rrscope.read_recording(str(example_record), signal=signal)


@pytest.mark.parametrize(
    "options, message",
    [
        ({"windows": ("a", "b")}, r"windows must be \(width_s, step_s\)"),
        ({"windows": (300, 30, 1)}, r"windows must be \(width_s, step_s\)"),
        ({"windows": (1, 1e-300)}, "step_s must be at least 1 s"),
        ({"detrend": "smoothness-priors", "lambda_": 1e308}, "lambda_ = 1e\\+308 lies outside"),
        ({"detrend": "smoothness-priors", "lambda_": 1e-300}, "lambda_ = 1e-300 lies outside"),
    ],
)
def test_windows_and_lambda_beyond_their_bounds_are_value_errors(options, message):
    with pytest.raises(ValueError, match=message):
        rrscope.hrv([800.0, 810.0, 790.0] * 100, **options)


def test_windows_of_a_series_beyond_their_count_are_a_value_error():
    with pytest.raises(ValueError, match="windows cut the intervals into 59991 windows"):
        rrscope.hrv([3_600_000.0] * 500, windows=(300, 30))


@pytest.mark.parametrize("stretch", [[np.nan, 10.0], [20.0, 10.0], [0.0, np.inf]])
def test_unreadable_stretches_that_are_none_are_value_errors(stretch):
    with pytest.raises(ValueError, match=r"unreadable\[0\] is no stretch"):
        rrscope.nn_intervals([100.0, 200.0, 300.0], RATE, np.array([stretch]))


def test_a_rate_that_makes_the_intervals_infinite_is_a_value_error():
    with pytest.raises(ValueError, match="rate_hz = 1e-300 is too low"):
        rrscope.nn_intervals([0.0, 500_000.0, 1_000_000.0], 1e-300)
