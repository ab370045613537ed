#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recordings/recording.h"

namespace rrscope::recordings {

// One annotation of an MIT-format annotation file.
struct Annotation {
  std::int64_t sample = 0;  // in the annotation file's time resolution
  int code = 0;             // the annotation type, 1 (N) to 49
  // A signed byte refining the type: for a noise annotation (14), -1 when
  // every signal is unreadable and 0 when all are clean again.
  int subtype = 0;
  // The text that follows the annotation, such as a note's (AUX); at most
  // 255 bytes.
  std::string aux;
};

struct AnnotationFile {
  std::vector<Annotation> annotations;
  // The rate in which `sample` counts, when the file states one in a
  // leading note; otherwise the record's sampling rate.
  std::optional<SamplingRate> timeResolution;
};

// True for the annotation types that mark a heartbeat:
// N L R B A a J S V r F e j n E / f Q ?.
bool isBeatCode(int code);

// The one-letter label of a beat type, such as 'N' or 'V'; '\0' for others.
char beatLabel(int code);

// The annotation type of a beat label, 0 for a character that labels no beat.
int beatCode(char label);

// The largest annotation file read: 2 bytes a beat make a week of beats
// some 2 MB, so a larger file is no annotation file, and refusing it before
// reading keeps memory bounded.
inline constexpr std::uintmax_t kMaxAnnotationFileBytes = std::uintmax_t{64} << 20;

// Reads an MIT-format annotation file (.atr). Throws RecordingError naming
// `path` when the file cannot be read, is a folder, is not a regular file
// (a FIFO or a device is refused before opening, so nothing waits),
// is larger than kMaxAnnotationFileBytes, ends inside an annotation or
// goes back in time (a negative skip).
AnnotationFile readAnnotations(const std::string& path);

// The beats of an annotation file alone, in the order of time (beats at
// one time in the file's order): what scoring needs, without holding every
// annotation of a large file.
struct BeatAnnotations {
  std::vector<std::int64_t> ticks;             // in the file's time resolution
  std::string labels;                          // one per beat, such as 'N' or 'V'
  std::optional<SamplingRate> timeResolution;  // as in AnnotationFile
};

// Reads the beats of an MIT-format annotation file; refuses what
// readAnnotations refuses.
BeatAnnotations readBeatAnnotations(const std::string& path);

// Converts beat times from the resolution `from` to samples at `rate`, in
// place, as beatSamples converts them.
void convertBeatTicks(std::vector<std::int64_t>& ticks, SamplingRate from, SamplingRate rate);

// The beat positions of `file`, converted to samples at `rate` (rounded to
// the nearest sample, halves up). Throws RecordingError when a position
// does not fit in 64 bits at `rate`.
std::vector<std::int64_t> beatSamples(const AnnotationFile& file, SamplingRate recordRate,
                                      SamplingRate rate);

// The label of each beat of `file`, in the order of beatSamples.
std::string beatLabels(const AnnotationFile& file);

}  // namespace rrscope::recordings
