"""The notebook-style example runs as a script and draws its tachogram."""

import subprocess
import sys

from conftest import SOURCE


def test_the_example_draws_the_tachogram_of_a_record(example_record, tmp_path):
    picture = tmp_path / "tachogram.png"
    run = subprocess.run(
        [sys.executable, str(SOURCE / "examples" / "python" / "record_100.py"), str(example_record), str(picture)],
        capture_output=True, text=True, cwd=tmp_path)
    assert run.returncode == 0, run.stderr
    assert "rmssd_ms" in run.stdout
    assert picture.read_bytes().startswith(b"\x89PNG")
