"""The stubs type the examples and the README's calls, and catch misuse."""

import os
import pathlib
import shutil
import subprocess

import pytest

from conftest import SOURCE

import rrscope

MYPY = shutil.which("mypy")
pytestmark = pytest.mark.skipif(MYPY is None, reason="mypy is not installed (scripts/install-deps)")

USES = """
import numpy as np
import rrscope

recording = rrscope.read_recording("100")
beats = rrscope.detect_beats(recording.samples, recording.rate_hz)
found, unreadable = rrscope.detect_beats(recording.samples, recording.rate_hz, quality=True)
nn, ends = rrscope.nn_intervals(found, recording.rate_hz, unreadable, ends=True)
windows = rrscope.hrv(nn, windows=(300, 30), ends_ms=ends)
text_windows = rrscope.hrv(rrscope.analyse(recording), windows="300:30")
whole: float = rrscope.hrv(nn)["sdnn_ms"]
first: float = windows[0]["sdnn_ms"] + text_windows[0]["start_s"]
positions: np.ndarray = beats
curves = rrscope.hrv(nn, curves=True)["curves"]
frame = rrscope.hrv(nn, windows="300:30", as_frame=True)
"""

MISUSES = {
    "a tuple taken for the beats": "beats: np.ndarray = rrscope.detect_beats(np.zeros(9), 1.0, quality=True)",
    "a list of windows taken for one dict": "d: dict = rrscope.hrv([1.0], windows=(1, 1))",
    "a dict taken for a list": "w: list = rrscope.hrv([1.0])",
}


def mypy(folder, *files):
    stubs = pathlib.Path(rrscope.__file__).parent
    run = subprocess.run([MYPY, "--no-incremental", "--ignore-missing-imports", *map(str, files)],
                         capture_output=True, text=True, cwd=folder,
                         env=dict(os.environ, MYPYPATH=str(stubs)))
    return run.returncode, run.stdout


def test_the_examples_and_the_readme_calls_type_check(tmp_path):
    (tmp_path / "uses.py").write_text(USES)
    status, output = mypy(tmp_path, tmp_path / "uses.py", *(SOURCE / "examples" / "python").glob("*.py"))
    assert status == 0, output


def test_misuse_is_a_type_error(tmp_path):
    for name, line in MISUSES.items():
        (tmp_path / "misuse.py").write_text("import numpy as np\nimport rrscope\n" + line + "\n")
        status, output = mypy(tmp_path, tmp_path / "misuse.py")
        assert status == 1 and "error" in output, name
