#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "beats/correction_level.h"
#include "beats/detected_beats.h"
#include "editing/beat_list.h"
#include "editing/recording_identity.h"
#include "recordings/recording.h"

namespace rrscope::editing {

// Where the edited beats of a recording are kept: an annotation file of the
// annotator "rrscope" beside the record, so that `dir/100.hea`, `dir/100`
// and `dir/100.dat` give `dir/100.rrscope`, and `dir/name.edf` gives
// `dir/name.rrscope`.
std::filesystem::path beatAnnotationPath(const std::string& recordingFile);

// What a file of saved beats says of them beside the beats.
struct BeatFileNotes {
  std::optional<RecordingIdentity> identity;         // the recording they belong to
  std::optional<beats::CorrectionLevel> correction;  // the level they were edited at
  std::vector<beats::SampleStretch> samples;         // the analysis samples, in samples
};

// Saves `list` as an MIT-format annotation file that any reader of the
// format understands: each beat of the type of its class (N, S, V, F or Q),
// its source in the subtype, and each
// unreadable stretch a pair of noise annotations, "all signals unreadable"
// (-1) at its begin and "clean" (0) at its end. At a whole number of hertz
// the file counts in thousandths of a sample and says so in a leading note;
// at any other rate it counts in samples. The file is written under another
// name and renamed, so it appears whole or not at all. Its `notes` go in
// notes at time 0. Throws std::runtime_error naming `path` when it cannot
// be written.
void writeBeatAnnotations(const std::filesystem::path& path, const BeatList& list,
                          recordings::SamplingRate rate, const BeatFileNotes& notes = {});

// What such a file holds, in samples at the recording's rate.
struct SavedBeats {
  std::vector<double> positions;
  std::vector<BeatSource> sources;
  std::vector<beats::BeatClass> classes;
  std::vector<beats::SampleStretch> unreadable;
  BeatFileNotes notes;  // as far as the file has them
};

// Reads a file that writeBeatAnnotations() wrote, or any annotation file:
// every beat annotation is a beat, its source from its subtype (detected
// where the subtype names none) and its class from its type as EC57 groups
// the types (Q for a type EC57 leaves out, such as '?'); a noise annotation of subtype -1 opens an
// unreadable stretch and the next other one closes it, and a stretch left
// open runs to infinity, which BeatList cuts to the recording. Positions are
// not rounded to samples; a beat at the time of the one before it is the
// same beat and is dropped. Throws recordings::RecordingError when the file
// cannot be read.
SavedBeats readBeatAnnotations(const std::filesystem::path& path, recordings::SamplingRate rate);

// The beats of `saved` as a list to edit further, counting as edited by
// hand its added beats and the beats of `analysed` (the detector's and the
// correction's) it no longer holds.
BeatList restoredBeatList(SavedBeats saved, const BeatList& analysed);

// Saves `list` as text: `time_s,sample,source,class`, one row for each beat
// (source detected, moved, inserted or added; class N, S, V, F or Q) and
// each edge of an unreadable stretch (unreadable_begin, unreadable_end, no
// class), in time order; numbers in the shortest
// form that reads back exactly. Written whole or not at all, as above.
void writeBeatCsv(const std::filesystem::path& path, const BeatList& list);

}  // namespace rrscope::editing
