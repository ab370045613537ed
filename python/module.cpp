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
#include "signal_functions.h"

PYBIND11_MODULE(rrscope, module) {
  // Each docstring begins with its signature in the form "name(...)\n--\n",
  // which Python reads as the function's signature (inspect.signature, and
  // help() prints it once); pybind11's own would print it a second time.
  pybind11::options options;
  options.disable_function_signatures();
  module.doc() = R"doc(RRscope: heart rate variability from ECG recordings.

The functions are those of rrscope-batch, on numpy arrays:

    read_recording(path, signal=None)       one channel of a recording
    read_annotations(path)                  the beats of an annotation file
    analyse(recording, *, correct=False)    the batch tool's whole analysis
    detect_beats(samples, rate_hz)          R peaks, 0-based sample positions
    qrs_signal(samples, rate_hz)            the band-passed lead the detector sees
    correct_artefacts(beats, rate_hz, samples=None)
    classify_beats(samples, rate_hz, beats)  N, S, V, F or Q per beat
    nn_intervals(beats, rate_hz, unreadable=None, *, classes=None, ends=False)
    hrv(intervals_ms, detrend=None, windows=None, *, ends_ms=None)
    score_beats(detected, reference, rate_hz, window_ms=150)

Example:

    import rrscope
    analysis = rrscope.analyse(rrscope.read_recording("mitdb/100"), correct=True)
    print(rrscope.hrv(analysis)["rmssd_ms"])
    windows = rrscope.hrv(analysis, windows="300:30")  # as rrscope-batch --windows

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
  rrscope::python::addSignalFunctions(module);
}
