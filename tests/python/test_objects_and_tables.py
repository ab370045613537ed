"""Results travel through pickle, show their curves and become tables."""

import inspect
import pickle
import pydoc

import numpy as np
import pytest

import rrscope


@pytest.fixture(scope="module")
def analysis(example_record):
    return rrscope.analyse(rrscope.read_recording(example_record), correct=True)


def test_results_come_back_from_pickle_whole(example_record, analysis):
    recording = rrscope.read_recording(example_record)
    objects = {
        "Recording": (recording, ("samples", "rate_hz", "channel", "units", "file", "invalid", "warnings")),
        "Correction": (rrscope.correct_artefacts(analysis.detected, recording.rate_hz),
                       ("beats", "counts", "sources", "removed")),
        "Analysis": (analysis, ("detected", "unreadable", "nn_beats", "classes", "corrections", "nn_ms",
                                "nn_ends_ms", "excluded_intervals")),
    }
    for name, (original, attributes) in objects.items():
        copy = pickle.loads(pickle.dumps(original))
        assert repr(copy) == repr(original), name
        for attribute in attributes:
            np.testing.assert_equal(getattr(copy, attribute), getattr(original, attribute), err_msg=name)


def test_the_curves_are_those_the_measures_were_read_from(analysis):
    measures = rrscope.hrv(analysis, curves=True)
    curves = measures["curves"]
    assert curves["histogram"]["counts"].sum() == len(analysis.nn_ms)
    triangle = curves["triangle"]
    assert triangle["m_ms"] - triangle["n_ms"] == measures["tinn_ms"]
    assert len(analysis.nn_ms) / curves["histogram"]["counts"].max() == measures["hti"]
    assert curves["dfa"]["alpha1"]["slope"] == measures["dfa_alpha1"]
    np.testing.assert_array_equal(curves["poincare"]["y_ms"][:-1], curves["poincare"]["x_ms"][1:])
    for spectrum in ("welch", "ar", "lomb_scargle"):
        density = curves[spectrum]
        assert len(density["frequencies_hz"]) == len(density["density_ms2_per_hz"]) > 0, spectrum
    with pytest.raises(ValueError, match="curves"):
        rrscope.hrv(analysis, windows=(60, 60), curves=True)


def test_windows_as_a_table_keep_the_reasons_apart(analysis):
    pandas = pytest.importorskip("pandas")
    windows = rrscope.hrv(analysis, windows=(60, 30))
    frame = rrscope.hrv(analysis, windows=(60, 30), as_frame=True)
    assert isinstance(frame, pandas.DataFrame) and len(frame) == len(windows)
    assert frame["sdnn_ms"].tolist() == [window["sdnn_ms"] for window in windows]
    # A minute holds fewer than 256 intervals: alpha2 is undefined, with its reason.
    assert frame["dfa_alpha2"].isna().all()
    assert frame["dfa_alpha2_undefined"].tolist() == [w["undefined"]["dfa_alpha2"] for w in windows]


def test_help_prints_each_signature_once_and_every_key():
    text = pydoc.render_doc(rrscope, renderer=pydoc.plaintext)
    functions = text[text.index("\nFUNCTIONS\n"):text.index("\nDATA\n")]
    for name in ("read_recording", "read_annotations", "analyse", "detect_beats", "correct_artefacts",
                 "classify_beats", "nn_intervals", "hrv", "score_beats"):
        signature = f"{name}{inspect.signature(getattr(rrscope, name))}"
        assert functions.count(signature) == 1 and f"\n    {name}(...)" not in functions, signature
    for key in rrscope.hrv([800.0, 810.0, 790.0]):
        assert key == "undefined" or f"    {key} " in rrscope.hrv.__doc__, key
