"""Windows across gaps and invalid samples are the batch tool's, key by key."""

import numpy as np
import pytest

import rrscope
from test_batch_identity import batch_line, expect_same_measures


def expect_same_windows(windows, line):
    assert len(windows) == len(line["windows"]) > 0
    for window, expected in zip(windows, line["windows"]):
        assert (window["start_s"], window["end_s"], window["intervals"]) == (
            expected["start_s"], expected["end_s"], expected["intervals"])
        expect_same_measures(window, expected["hrv"], expected["hrv_undefined"])


def gapped_records(records, invalid_record):
    """Records whose series has gaps: the invalid one, and 100 (one
    unreadable stretch) and 105 (noisy, 149 intervals left out) when at hand."""
    found = [record for record in records if record.stem == "100"]
    noisy = [record.with_name("105.hea") for record in found if record.with_name("105.hea").exists()]
    return [invalid_record] + found + noisy


def test_windows_follow_the_recordings_clock_across_gaps(records, invalid_record):
    for record in gapped_records(records, invalid_record):
        recording = rrscope.read_recording(record)
        width = 300 if recording.samples.size / recording.rate_hz > 900 else 60
        line = batch_line("--hrv", "--windows", f"{width}:{width}", record)
        assert line["excluded_intervals"] > 0, "the record should have a gap"
        analysis = rrscope.analyse(recording)
        expect_same_windows(rrscope.hrv(analysis, windows=f"{width}:{width}"), line)
        # Named by its path, the recording is analysed from its own values.
        expect_same_windows(rrscope.hrv(rrscope.analyse(record), windows=(width, width)), line)
        expect_same_measures(rrscope.hrv(analysis), line["hrv"], line["hrv_undefined"])
        # The route of single steps: the beats, their quality with the
        # invalid runs, the series with its clock.
        beats, unreadable = rrscope.detect_beats(recording.samples, recording.rate_hz, quality=True,
                                                 invalid=recording.invalid)
        nn, ends = rrscope.nn_intervals(beats, recording.rate_hz, unreadable, ends=True)
        expect_same_windows(rrscope.hrv(nn, windows=(width, width), ends_ms=ends), line)


def test_invalid_samples_are_unreadable_as_in_the_batch_tool(invalid_record):
    recording = rrscope.read_recording(invalid_record)
    assert recording.invalid.tolist() == [[15_000, 25_000]]
    line = batch_line("--hrv", "--correct", invalid_record)
    analysis = rrscope.analyse(recording, correct=True)
    assert analysis.invalid_samples == line["invalid_samples"] == 10_000
    np.testing.assert_array_equal(analysis.unreadable / recording.rate_hz,
                                  np.reshape(line["unreadable"], (-1, 2)))
    assert len(analysis.nn_ms) == line["intervals"]
    expect_same_measures(rrscope.hrv(analysis), line["hrv"], line["hrv_undefined"])
    _, unreadable = rrscope.detect_beats(recording.samples, recording.rate_hz, quality=True,
                                         invalid=recording.invalid)
    assert any(begin <= 15_000 and end >= 25_000 for begin, end in unreadable)


def test_ends_must_match_the_intervals():
    for ends, message in (([1.0, 2.0], "one end per interval"), ([3.0, 2.0, 1.0], "increasing")):
        with pytest.raises(ValueError, match=message):
            rrscope.hrv([800.0, 800.0, 800.0], windows=(1, 1), ends_ms=ends)
