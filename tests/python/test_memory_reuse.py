"""Detection reuses its buffers from block to block by itself: the library
is as fast as the programs without a process-wide allocator setting."""

import subprocess
import sys
import textwrap


def test_a_repeated_long_detection_takes_few_fresh_pages(example_record):
    # Buffers freed after each ten-minute block and allocated again for the
    # next come back as fresh pages: several times the lead's own size.
    script = textwrap.dedent(f"""
        import resource, numpy as np, rrscope
        recording = rrscope.read_recording({str(example_record)!r})
        hours = np.tile(recording.samples, 120)  # six hours
        rrscope.detect_beats(hours, recording.rate_hz)
        before = resource.getrusage(resource.RUSAGE_SELF).ru_minflt
        rrscope.detect_beats(hours, recording.rate_hz)
        print(resource.getrusage(resource.RUSAGE_SELF).ru_minflt - before, hours.nbytes // 4096)
    """)
    run = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True)
    assert run.returncode == 0, run.stderr
    faults, lead_pages = map(int, run.stdout.split())
    assert faults < 2 * lead_pages, f"{faults} page faults for a lead of {lead_pages} pages"
