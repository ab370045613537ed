"""Records the tests share: a WFDB record made from the example ECG, and
record 100 of MIT-BIH when the shared recordings are at hand."""

import os
import pathlib

import numpy as np
import pytest

SOURCE = pathlib.Path(os.environ.get("RRSCOPE_SOURCE", pathlib.Path(__file__).parents[2]))
MITDB_100 = SOURCE.parent / "shared" / "data" / "mitdb" / "100.hea"


def write_wfdb16(folder, name, values, rate, gain=200.0, label="ECG"):
    """A one-signal WFDB record of format 16: the values are ADC steps."""
    values = np.asarray(values, dtype="<i2")
    (folder / f"{name}.dat").write_bytes(values.tobytes())
    (folder / f"{name}.hea").write_text(
        f"{name} 1 {rate} {len(values)}\n{name}.dat 16 {gain} 16 0 0 0 0 {label}\n"
    )
    return folder / f"{name}.hea"


@pytest.fixture(scope="session")
def example_record(tmp_path_factory):
    """The example's three minutes of ECG at 250 per second, in steps of
    1/200 mV: every 24th of its 6000 samples a second."""
    text = (SOURCE / "examples" / "ecg-3min.txt").read_text().split()
    samples = np.array([float(line) for line in text[::24]])
    steps = np.round((samples - samples.mean()) / np.ptp(samples) * 400)
    folder = tmp_path_factory.mktemp("record")
    return write_wfdb16(folder, "example", steps, 250)


@pytest.fixture(scope="session")
def records(example_record):
    found = [example_record]
    if MITDB_100.exists():
        found.append(MITDB_100)
    return found


@pytest.fixture(scope="session")
def invalid_record(tmp_path_factory, example_record):
    """The example record with 10,000 frames (40 s) that hold no value, in
    WFDB's code for them, in its second minute."""
    steps = np.fromfile(example_record.with_suffix(".dat"), dtype="<i2").copy()
    steps[15_000:25_000] = -32768
    return write_wfdb16(tmp_path_factory.mktemp("invalid"), "invalid", steps, 250)
