#pragma once

#include <optional>
#include <string>

#include "editing/beat_list.h"
#include "pipeline/progress.h"
#include "pipeline/recording_analysis.h"
#include "recordings/recording.h"

namespace rrscope::editing {

// A recording as the window opens it: its lead, what the analysis made of
// it, and its beats ready for editing.
struct OpenedRecording {
  std::string file;
  // The analysed lead; absent for a file of RR intervals, which has beats
  // but no ECG.
  std::optional<recordings::Recording> recording;
  pipeline::RecordingAnalysis analysis;
  BeatList beats;
};

// True for the files openRecording takes: EDF, BDF, WFDB headers and RR
// files (.rr), by extension.
bool isRecordingFile(const std::string& file);

// Opens an EDF, BDF or WFDB recording with the analysis the batch tool runs
// with --correct --hrv: its ECG lead detected, corrected and its beats
// classed, unreadable stretches marked. The measures are left to the caller: the beat list's
// series of the whole recording is the one the batch tool measures. A file
// of RR intervals in ms opens as it stands: its beats at the running sum of
// the intervals, in ms. Throws recordings::RecordingError when the file cannot
// be read.
OpenedRecording openRecording(const std::string& file, const pipeline::Progress& progress = {});

}  // namespace rrscope::editing
