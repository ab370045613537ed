# %% [markdown]
# # MIT-BIH record 100 with rrscope
#
# Reads the record, finds its beats, corrects the artefacts, takes the heart
# rate variability measures and plots the tachogram. Run it as a script
#
#     python3 examples/python/record_100.py [RECORD.hea] [tachogram.png]
#
# or cell by cell (`# %%`) in an editor that knows notebook cells. Without a
# record given it looks for ../shared/data/mitdb/100.hea beside the source.

# %%
import pathlib
import sys

import matplotlib

matplotlib.use("Agg")  # a file, also where no display is
import matplotlib.pyplot as plt
import numpy as np

import rrscope

here = pathlib.Path(__file__).resolve().parent
record = sys.argv[1] if len(sys.argv) > 1 else str(here.parents[2] / "shared/data/mitdb/100.hea")
picture = sys.argv[2] if len(sys.argv) > 2 else "tachogram-100.png"

# %% The ECG lead, in mV at its own rate
recording = rrscope.read_recording(record)
print(recording)

# %% Beats, and where the lead is too noisy to trust them or holds no value
beats, unreadable = rrscope.detect_beats(recording.samples, recording.rate_hz, quality=True,
                                         invalid=recording.invalid)
print(f"{len(beats)} beats, {len(unreadable)} unreadable stretches")

# %% The correction: missed beats only where the ECG shows a QRS complex
corrected = rrscope.correct_artefacts(beats, recording.rate_hz, recording.samples)
print("corrections:", corrected.counts)

# %% The class of every beat: the NN series keeps the intervals between two N beats
classes = rrscope.classify_beats(recording.samples, recording.rate_hz, corrected.beats)
print("classes:", {letter: classes.count(letter) for letter in "NSVFQ"})

# %% The NN series the measures rest on, without the unreadable stretches
nn_ms, ends_ms = rrscope.nn_intervals(corrected.beats, recording.rate_hz, unreadable, classes=classes,
                                      ends=True)
measures = rrscope.hrv(nn_ms)
for key in ("mean_nn_ms", "sdnn_ms", "rmssd_ms", "lf_hf", "sampen", "dfa_alpha1"):
    print(f"{key:>12} {measures[key]}")

# %% Five-minute windows on the recording's clock, as rrscope-batch --windows 300:300
for window in rrscope.hrv(nn_ms, windows="300:300", ends_ms=ends_ms):
    print(f"{window['start_s']:>6.0f} s  SDNN {window['sdnn_ms']} ms")

# %% The tachogram: each NN interval at the time of its closing beat
times_s = corrected.beats[1:] / recording.rate_hz
intervals_ms = np.diff(corrected.beats) / recording.rate_hz * 1000
moved = corrected.sources[1:] != rrscope.DETECTED
figure, axes = plt.subplots(figsize=(10, 3.5))
axes.plot(times_s / 60, intervals_ms, lw=0.6, color="black")
axes.plot(times_s[moved] / 60, intervals_ms[moved], "o", ms=3, color="red", label="corrected")
for begin, end in unreadable / recording.rate_hz / 60:
    axes.axvspan(begin, end, color="0.85")
axes.set(xlabel="time (min)", ylabel="NN (ms)", title=f"{recording.file}: {recording.channel}")
axes.legend(loc="lower right")
figure.tight_layout()
figure.savefig(picture, dpi=120)
print("wrote", picture)
