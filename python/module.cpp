// The Python module rrscope: the readers, the detector, the correction, the
// scoring and the measures of RRscope on numpy arrays.
#include <pybind11/pybind11.h>

#include <string>

#include "analysis_functions.h"
#include "beat_functions.h"
#include "class_functions.h"
#include "hrv_functions.h"
#include "python_errors.h"
#include "recording_functions.h"
#include "rrscope/version.h"

PYBIND11_MODULE(rrscope, module) {
  module.doc() = R"doc(RRscope: heart rate variability from ECG recordings.

The functions are those of rrscope-batch, on numpy arrays:

    read_recording(path, signal=None)       one channel of a recording
    read_annotations(path)                  the beats of an annotation file
    detect_beats(samples, rate_hz)          R peaks, 0-based sample positions
    correct_artefacts(beats, rate_hz, samples=None)
    classify_beats(samples, rate_hz, beats)  N, S, V, F or Q per beat
    nn_intervals(beats, rate_hz, unreadable=None, *, classes=None)
    hrv(intervals_ms, detrend=None, windows=None)
    score_beats(detected, reference, rate_hz, window_ms=150)

Example:

    import numpy as np, rrscope
    rec = rrscope.read_recording("100.hea")
    beats = rrscope.detect_beats(rec.samples, rec.rate_hz)
    nn = rrscope.correct_artefacts(beats, rec.rate_hz, rec.samples).beats
    print(rrscope.hrv(np.diff(nn) / rec.rate_hz * 1000)["rmssd_ms"])

Bad input raises ValueError, a file that cannot be read OSError, with the
batch tool's messages. Detection, correction and the measures release the
GIL, so threads run them side by side.
)doc";
  module.attr("__version__") = std::string(rrscope::kVersion);
  rrscope::python::registerErrors(module);
  rrscope::python::addRecordingFunctions(module);
  rrscope::python::addBeatFunctions(module);
  rrscope::python::addClassFunctions(module);
  rrscope::python::addHrvFunctions(module);
  rrscope::python::addAnalysisFunctions(module);
}
