"""The module gives rrscope-batch's values, key by key, to the last bit."""

import json
import os
import subprocess

import numpy as np
import pytest

import rrscope

BATCH = os.environ.get("RRSCOPE_BATCH", "rrscope-batch")


def batch_line(*arguments):
    run = subprocess.run([BATCH, *map(str, arguments)], capture_output=True, text=True)
    assert run.returncode == 0, run.stderr + run.stdout
    return json.loads(run.stdout.splitlines()[0])


def expect_same_measures(measures, values, reasons):
    """`measures` from the module; `values` and `reasons` from a JSON line."""
    assert set(measures) - {"undefined", "start_s", "end_s", "intervals"} == set(values)
    for key, value in values.items():
        assert measures[key] == value, key  # exact: JSON keeps every bit of a double
    assert measures["undefined"] == reasons


def analyse(record):
    """The analysis of --correct: detected, corrected, classed, and the NN series."""
    recording = rrscope.read_recording(str(record))
    beats, unreadable = rrscope.detect_beats(recording.samples, recording.rate_hz, quality=True)
    corrected = rrscope.correct_artefacts(beats, recording.rate_hz, recording.samples)
    classes = rrscope.classify_beats(recording.samples, recording.rate_hz, corrected.beats)
    intervals = rrscope.nn_intervals(corrected.beats, recording.rate_hz, unreadable, classes=classes)
    return recording, beats, unreadable, corrected, intervals


def test_a_recordings_beats_corrections_and_measures_are_the_batch_tools(records, tmp_path):
    for record in records:
        recording, beats, unreadable, corrected, intervals = analyse(record)
        line = batch_line("--correct", "--hrv", "--peaks", record)
        assert line["channel"] == recording.channel and line["rate_hz"] == recording.rate_hz
        np.testing.assert_array_equal(beats + 1, line["peaks"])  # the line counts from 1
        np.testing.assert_array_equal(unreadable / recording.rate_hz, np.reshape(line["unreadable"], (-1, 2)))
        for key in ("extra", "missed", "ectopic", "long_short"):
            assert corrected.counts[key] == line["corrections"][key], key
        assert corrected.counts["pauses"] == line["pauses"]
        # With the samples at hand nothing moves: each detected beat stays or is removed.
        assert not np.any(corrected.sources == rrscope.MOVED)
        kept = corrected.beats[corrected.sources == rrscope.DETECTED]
        np.testing.assert_array_equal(np.sort(np.concatenate([kept, corrected.removed])), beats)
        assert len(intervals) == line["intervals"]
        expect_same_measures(rrscope.hrv(intervals), line["hrv"], line["hrv_undefined"])


def test_classes_and_their_counts_are_the_batch_tools(records):
    for record in records:
        recording, beats, _, corrected, _ = analyse(record)
        line = batch_line("--classes", "--correct", record)
        assert line["classes"] == rrscope.classify_beats(recording.samples, recording.rate_hz, beats)
        assert len(line["classes"]) == len(line["peaks"])
        used = rrscope.classify_beats(recording.samples, recording.rate_hz, corrected.beats)
        assert line["classes_count"] == {letter: used.count(letter) for letter in "NSVFQ"}


def test_an_interpolated_series_is_the_batch_tools(example_record):
    recording, _, unreadable, corrected, _ = analyse(example_record)
    classes = rrscope.classify_beats(recording.samples, recording.rate_hz, corrected.beats)
    intervals = rrscope.nn_intervals(corrected.beats, recording.rate_hz, unreadable, classes=classes,
                                     ectopic="interpolate")
    line = batch_line("--correct", "--ectopic=interpolate", "--hrv", example_record)
    assert line["ectopic"] == "interpolate"
    assert len(intervals) == line["intervals"]
    expect_same_measures(rrscope.hrv(intervals), line["hrv"], line["hrv_undefined"])


def test_windows_and_detrended_spectra_are_the_batch_tools(example_record):
    recording, _, _, _, intervals = analyse(example_record)
    line = batch_line("--correct", "--hrv", "--windows", "60:30", "--detrend", "smoothness-priors",
                      "--lambda", "300", example_record)
    windows = rrscope.hrv(intervals, "smoothness-priors", (60, 30), lambda_=300)
    assert len(windows) == len(line["windows"]) > 0
    for window, expected in zip(windows, line["windows"]):
        assert (window["start_s"], window["end_s"], window["intervals"]) == (
            expected["start_s"], expected["end_s"], expected["intervals"])
        expect_same_measures(window, expected["hrv"], expected["hrv_undefined"])
    expect_same_measures(rrscope.hrv(intervals, "smoothness-priors", lambda_=300),
                         line["hrv"], line["hrv_undefined"])


def test_scoring_is_the_batch_tools(example_record, tmp_path):
    recording, beats, _, _, _ = analyse(example_record)
    # A reference a little off the detections, with one beat missing and one added.
    reference = np.round(beats[1:] + 7).astype(np.int64)
    reference = np.append(reference, int(beats[-1]) + 40)
    reference_file = tmp_path / "reference.txt"
    reference_file.write_text("".join(f"{position + 1}\n" for position in reference))
    line = batch_line("--reference", reference_file, "--match-window", "120", example_record)
    scoring = rrscope.score_beats(beats, reference, recording.rate_hz, window_ms=120)
    assert scoring == line["scoring"]


def test_samples_are_those_the_exact_export_writes(records, tmp_path):
    for record in records:
        recording = rrscope.read_recording(str(record))
        batch_line("--export-csv", tmp_path, record)
        exported = np.loadtxt(tmp_path / (record.stem + ".csv"), delimiter=",", skiprows=1, usecols=2)
        np.testing.assert_array_equal(recording.samples, exported)


def test_annotations_read_as_the_batch_tool_scores_them(records):
    record = records[-1]
    if not (record.with_suffix(".atr")).exists():
        pytest.skip("no annotated record at hand")
    annotations = rrscope.read_annotations(str(record.with_suffix(".atr")))
    line = batch_line("--reference=atr", record)
    assert len(annotations.samples) == line["scoring"]["tp"] + line["scoring"]["fn"]
    assert set(annotations.labels) <= set("NLRBAaJSVrFejnE/fQ?")


def test_a_text_file_reads_at_6000_per_second_as_the_window_reads_it():
    from conftest import SOURCE

    text = SOURCE / "examples" / "ecg-3min.txt"
    recording = rrscope.read_recording(str(text))
    assert recording.rate_hz == 6000 and recording.channel == "" and recording.units == ""
    np.testing.assert_array_equal(recording.samples, np.loadtxt(text))
