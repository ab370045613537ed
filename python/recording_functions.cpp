#include "recording_functions.h"

#include <pybind11/stl.h>

#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/run_stages.h"
#include "numpy_arrays.h"
#include "pipeline/file_named_errors.h"
#include "pipeline/line_samples.h"
#include "pipeline/recording_reading.h"
#include "recording_paths.h"
#include "recordings/read_recording.h"
#include "recordings/text_export.h"
#include "recordings/wfdb_annotations.h"

namespace rrscope::python {
namespace {

// A recording's chosen channel in physical units, as Python sees it.
struct PythonRecording {
  std::vector<double> samples;
  double rateHz = 0;
  std::string channel;
  std::string units;
  std::string file;
  std::vector<std::pair<std::size_t, std::size_t>> invalid;
  std::vector<std::string> warnings;
};

std::vector<double> physicalValues(recordings::Recording& recording) {
  std::vector<double> values(recording.sampleCount());
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = recording.physical(i);
  std::vector<std::int32_t>().swap(recording.values);  // the converter values are done with
  return values;
}

PythonRecording readRecording(const std::string& path, const std::optional<std::string>& signal) {
  PythonRecording read;
  read.file = path;
  if (recordings::recordingKindOf(path) == recordings::RecordingKind::text) {
    if (signal) {
      throw py::value_error("signal is for EDF, BDF, WFDB, ISHNE and GDF recordings; \"" + path +
                            "\" is a text file of one signal");
    }
    // The window's text file: one sample a line at 6000 per second, read
    // with the window's numeric parse.
    requireTextFile(path);
    const analysis::SampleLines lines = analysis::readSampleFile(path);
    read.samples.resize(static_cast<std::size_t>(lines.lineCount()));
    pipeline::LineSamples(lines).read(0, read.samples);
    read.rateHz = static_cast<double>(recordings::kTextRate);
    return read;
  }
  recordings::Recording recording = pipeline::readRecordingChannel(path, {signal});
  read.rateHz = recording.rate.hertz();
  read.channel = recording.channel;
  read.units = recording.units;
  for (const recordings::SampleRun& run : recording.invalid)
    read.invalid.emplace_back(run.first, run.end);
  read.warnings = recording.warnings;
  read.samples = physicalValues(recording);
  return read;
}

// The beats of an annotation file, positions and one-letter labels.
struct PythonAnnotations {
  std::vector<std::int64_t> samples;
  std::vector<std::string> labels;
  std::optional<double> timeResolutionHz;
};

PythonAnnotations readBeatAnnotations(const std::string& path) {
  const recordings::AnnotationFile file =
      pipeline::readNamingFile(path, [&path] { return recordings::readAnnotations(path); });
  PythonAnnotations beats;
  for (const recordings::Annotation& annotation : file.annotations) {
    if (!recordings::isBeatCode(annotation.code)) continue;
    beats.samples.push_back(annotation.sample);
    beats.labels.emplace_back(1, recordings::beatLabel(annotation.code));
  }
  if (file.timeResolution) beats.timeResolutionHz = file.timeResolution->hertz();
  return beats;
}

constexpr const char* kRecordingDoc = R"doc(One channel of a recording.

Attributes:
    samples: the channel's samples in physical units (mV for ECG in V, mV
        or uV), float64, one per sample at rate_hz. Samples the file marks
        as invalid hold values interpolated between their neighbours; see
        `invalid`.
    rate_hz: the channel's sampling rate in Hz.
    channel: the channel's label as the file gives it ("" for text files).
    units: the units of `samples` ("mV" for ECG, "" for text files).
    file: the path it was read from.
    invalid: (k, 2) int64 array of [first, end) sample runs the file holds
        no value for (the analysis treats them as unreadable).
    warnings: what the reader had to overlook, such as header fields that
        are not plain ASCII.
)doc";

constexpr const char* kReadRecordingDoc = R"doc(read_recording(path, signal=None)
--

Returns a Recording.

Reads one channel of a recording, the format told by the extension as by
rrscope-batch: .edf/.bdf (EDF, EDF+, BDF, BDF+), .hea (WFDB), .ecg (ISHNE
Holter), .gdf (GDF), anything else a text file of one sample a line at
6000 per second. A record name without extension ("mitdb/223") reads its
.hea header, as WFDB tools read it; path may be a str or os.PathLike.

signal: the channel by number (from 0, an int or str; not a bool) or label;
    by default the first whose label looks like ECG, as rrscope-batch
    chooses it.

Raises OSError (with rrscope-batch's message) when the file cannot be read
or a text recording holds binary data,
ValueError for a signal asked of a text file, a signal that is no channel
number and a path holding a NUL byte.
)doc";

constexpr const char* kReadAnnotationsDoc = R"doc(read_annotations(path)
--

Returns an Annotations.

The beats of an MIT-format annotation file (.atr, or the .rrscope files the
recording window saves): `samples` (int64 array, in the file's time
resolution, which is the record's sampling rate unless `time_resolution_hz`
says otherwise) and `labels` (a list of one-letter beat labels such as "N"
and "V"). Annotations that mark no beat (rhythm, noise, notes) are left out.

Raises OSError for a file that cannot be read or is damaged.
)doc";

// True is an int to Python, but no channel number: it would read channel 1.
std::optional<std::string> signalText(const py::object& signal) {
  constexpr const char* kWanted = "signal must be a channel number from 0, a label or None";
  if (signal.is_none()) return std::nullopt;
  if (py::isinstance<py::bool_>(signal)) throw py::value_error(std::string(kWanted) + ", not bool");
  // numpy's integers are channel numbers as Python's are.
  if (py::isinstance<py::int_>(signal) || py::hasattr(signal, "__index__")) {
    const py::object number = py::module_::import("operator").attr("index")(signal);
    if (number < py::int_(0) || number > py::int_(std::numeric_limits<int>::max())) {
      throw py::value_error(std::string(kWanted) + ", not " + py::str(number).cast<std::string>());
    }
    return py::str(number).cast<std::string>();
  }
  if (py::isinstance<py::str>(signal)) return signal.cast<std::string>();
  throw py::value_error(kWanted);
}

}  // namespace

void addRecordingFunctions(py::module_& module) {
  py::class_<PythonRecording>(module, "Recording", kRecordingDoc)
      .def_property_readonly("samples",
                             [](py::object self) {
                               // A view of the recording's own samples: no copy, kept alive by
                               // the recording.
                               // Read-only: numpy.array(rec.samples) gives a copy to write.
                               auto& recording = self.cast<PythonRecording&>();
                               py::array_t<double> view(
                                   static_cast<py::ssize_t>(recording.samples.size()),
                                   recording.samples.data(), self);
                               view.attr("flags").attr("writeable") = false;
                               return view;
                             })
      .def_readonly("rate_hz", &PythonRecording::rateHz)
      .def_readonly("channel", &PythonRecording::channel)
      .def_readonly("units", &PythonRecording::units)
      .def_readonly("file", &PythonRecording::file)
      .def_property_readonly(
          "invalid",
          [](const PythonRecording& recording) {
            py::array_t<std::int64_t> runs(
                {static_cast<py::ssize_t>(recording.invalid.size()), py::ssize_t{2}});
            auto view = runs.mutable_unchecked<2>();
            for (std::size_t i = 0; i < recording.invalid.size(); ++i) {
              view(i, 0) = static_cast<std::int64_t>(recording.invalid[i].first);
              view(i, 1) = static_cast<std::int64_t>(recording.invalid[i].second);
            }
            return runs;
          })
      .def_readonly("warnings", &PythonRecording::warnings)
      // So that a recording can come back from a process pool.
      .def(py::pickle(
          [](const PythonRecording& recording) {
            return py::make_tuple(recording.samples, recording.rateHz, recording.channel,
                                  recording.units, recording.file, recording.invalid,
                                  recording.warnings);
          },
          [](const py::tuple& state) {
            return PythonRecording{
                state[0].cast<std::vector<double>>(),
                state[1].cast<double>(),
                state[2].cast<std::string>(),
                state[3].cast<std::string>(),
                state[4].cast<std::string>(),
                state[5].cast<std::vector<std::pair<std::size_t, std::size_t>>>(),
                state[6].cast<std::vector<std::string>>()};
          }))
      .def("__repr__", [](const PythonRecording& recording) {
        return "<rrscope.Recording " + recording.file + " channel=\"" + recording.channel + "\" " +
               std::to_string(recording.samples.size()) + " samples at " +
               py::str(py::float_(recording.rateHz)).cast<std::string>() + " Hz>";
      });

  py::class_<PythonAnnotations>(module, "Annotations",
                                "The beats of an annotation file: samples, labels and "
                                "time_resolution_hz (None: the record's rate).")
      .def_property_readonly("samples",
                             [](const PythonAnnotations& beats) {
                               return py::array_t<std::int64_t>(
                                   static_cast<py::ssize_t>(beats.samples.size()),
                                   beats.samples.data());
                             })
      .def_readonly("labels", &PythonAnnotations::labels)
      .def_readonly("time_resolution_hz", &PythonAnnotations::timeResolutionHz)
      .def(py::pickle(
          [](const PythonAnnotations& beats) {
            return py::make_tuple(beats.samples, beats.labels, beats.timeResolutionHz);
          },
          [](const py::tuple& state) {
            return PythonAnnotations{state[0].cast<std::vector<std::int64_t>>(),
                                     state[1].cast<std::vector<std::string>>(),
                                     state[2].cast<std::optional<double>>()};
          }))
      .def("__repr__", [](const PythonAnnotations& beats) {
        return "<rrscope.Annotations " + std::to_string(beats.samples.size()) + " beats" +
               (beats.timeResolutionHz
                    ? " at " + py::str(py::float_(*beats.timeResolutionHz)).cast<std::string>() +
                          " ticks/s"
                    : std::string()) +
               ">";
      });

  module.def(
      "read_recording",
      [](const py::object& pathObject, const py::object& signal) {
        const std::optional<std::string> wanted = signalText(signal);
        const std::string path = recordingPath(pathObject);
        const py::gil_scoped_release released;
        return readRecording(path, wanted);
      },
      py::arg("path"), py::arg("signal") = py::none(), kReadRecordingDoc);

  module.def(
      "read_annotations",
      [](const py::object& pathObject) {
        const std::string path = filePath(pathObject);
        const py::gil_scoped_release released;
        return readBeatAnnotations(path);
      },
      py::arg("path"), kReadAnnotationsDoc);
}

}  // namespace rrscope::python
