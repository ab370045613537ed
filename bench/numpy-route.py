#!/usr/bin/python3
"""What a user would write without RRscope for the figures of a WFDB 212
record: decode the first signal, band-pass it, find the R peaks with SciPy,
and compute the common time-domain measures with pandas. Prints them."""
import sys

import numpy as np
import pandas as pd
from scipy import signal

header = open(sys.argv[1]).read().split("\n")
name, nsig, fs, nsamp = header[0].split()[:4]
fs, nsig, nsamp = float(fs), int(nsig), int(nsamp)
fields = header[1].split()
gain = float(fields[2].split("/")[0].split("(")[0])
baseline = int(fields[2].split("(")[1].split(")")[0]) if "(" in fields[2] else int(fields[4])
raw = np.fromfile(sys.argv[1].replace(".hea", ".dat"), dtype=np.uint8).reshape(-1, 3).astype(np.int32)
first = raw[:, 0] | ((raw[:, 1] & 0x0F) << 8)  # with two signals, the first of every frame
first[first >= 2048] -= 4096
ecg = (first - baseline) / gain

sos = signal.butter(2, [5, 30], btype="bandpass", fs=fs, output="sos")
filtered = signal.sosfiltfilt(sos, ecg)
peaks, _ = signal.find_peaks(filtered, height=0.35 * np.percentile(filtered, 99.9),
                             distance=int(0.25 * fs))

nn = pd.Series(np.diff(peaks) / fs * 1000)
nn = nn[(nn - nn.rolling(11, center=True, min_periods=1).median()).abs() < 0.2 * nn.median()]
diff = nn.diff().dropna()
print({"beats": len(peaks), "mean_nn_ms": nn.mean(), "sdnn_ms": nn.std(),
       "rmssd_ms": float(np.sqrt((diff ** 2).mean())), "pnn50_pct": float((diff.abs() > 50).mean() * 100)})
