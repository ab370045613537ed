#pragma once

#include <QString>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

#include "beats/correction_level.h"
#include "beats/detected_beats.h"
#include "editing/opened_recording.h"
#include "hrv/hrv_measures.h"

namespace rrscope::ui {

// The rate the beats of an opened recording count in: the lead's, or ms
// for a file of RR intervals.
recordings::SamplingRate beatRate(const editing::OpenedRecording& opened);

// Saves the beats of `opened` as a CSV table when `path` ends in .csv,
// else as an annotation file that names the recording they belong to,
// their correction level and the analysis `samples`. Throws
// std::runtime_error when it cannot be written.
void saveBeatFile(const QString& path, const editing::BeatList& beats,
                  const editing::OpenedRecording& opened, beats::CorrectionLevel correction,
                  std::span<const beats::SampleStretch> samples);

// Writes the one-page report of the stretch, with `correction` saying how
// its series was made (the correction level, and the samples when it is
// theirs together): a PNG when `path` ends in .png, else a PDF. Throws
// std::runtime_error when it cannot be written.
void writeStretchReport(const QString& path, const editing::OpenedRecording& opened,
                        const editing::BeatList& beats, beats::SampleStretch stretch,
                        const editing::StretchSeries& series, const hrv::Measures& measures,
                        const QString& correction);

// One row of the measures' CSV: a stretch in seconds (none for the
// samples together), its count of intervals and its measures.
struct MeasureRow {
  std::optional<std::pair<double, double>> seconds;
  std::size_t intervals = 0;
  hrv::Measures measures;
};

// The measures as CSV text: a header and a row each, in the columns of the
// batch tool's --windows rows (file, start_s, end_s, intervals, every
// measure, hrv_undefined), then the correction level and the sample (its
// number, or "all" for the samples together, empty without samples).
std::string measuresCsv(const QString& file, std::span<const MeasureRow> rows,
                        std::string_view correction, bool samples);

// Writes `text` whole or not at all. Throws std::runtime_error on failure.
void writeTextFile(const QString& path, const std::string& text);

// A stretch longer than the analysis window reads (10,000,000 lines at
// 6000 per second); the message is the user's, in Russian.
class StretchTooLong : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes the stretch of the lead into `folder` as the analysis window's
// text file, resampled to 6000 per second as the batch tool's --to-text
// does, and returns its path. Throws StretchTooLong, or std::runtime_error
// when it cannot be written.
QString writeStretchText(const recordings::Recording& recording, beats::SampleStretch stretch,
                         const QString& folder);

}  // namespace rrscope::ui
