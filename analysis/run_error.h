#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/run_window.h"

namespace rrscope::analysis {

// The ways in which a run or a click can stop.
enum class ErrorKind {
  cannotOpenFile,
  readError,
  subscriptOutOfRange,
  overflow,
  divisionByZero,
  typeMismatch,
  outOfMemory,
};

// "cannot-open-file", "subscript-out-of-range", ...: the kind as a stable key.
std::string_view errorKindKey(ErrorKind kind);

// What exactly stopped a run or a click. Each cause belongs to one kind and
// says which facts of ErrorFacts it fills; every front end words each cause
// in its own language, so a new cause needs its kind below and a sentence in
// each front end (the compiler's switch warnings point at every place).
enum class ErrorCause {
  // Loading the sample file (file; systemError where the system gave one).
  noFileChosen,   // the name is empty
  fileNotOpened,  // the system refused to open it: systemError
  fileIsFolder,
  readFailed,         // reading stopped after `count` bytes: systemError
  tooManyLines,       // more than `limit` lines
  fileIsDevice,       // neither a regular file nor a pipe, such as /dev/zero or a terminal
  pipeWithoutWriter,  // a pipe that no program writes to
  lineTooLong,        // line is longer than `limit` bytes

  // Memory ran out during a stage; what the stages before it left is kept.
  outOfMemory,

  // Texts read as numbers that lie beyond the range of doubles.
  parameterBeyondRange,  // fields[0]
  captionBeyondRange,    // caption, text
  sampleBeyondRange,     // line, text

  // Detection.
  guardBeyondRange,    // fields[0]: Text2, whose seconds cannot be counted in samples
  positionOutOfRange,  // series, count (the position), limit

  // Too little was detected for the figures (fields[0]: Text1).
  tooFewPeaks,           // fewer than two R peaks in a file with samples
  noSamples,             // the loaded file holds no sample
  noFileLoaded,          // no file was loaded before the analysis
  noIntervals,           // exactly two peaks, which leave no analysed interval
  zeroObservationTime,   // the analysed intervals add up to 0 s
  heartRateBeyondRange,  // the mean heart rate leaves the range of numbers

  // Charts.
  chartBeyondRange,  // chart, fields[0]: the scale whose product leaves the surface's range
  binOverflow,       // chart, value (the bin's lower edge or the window's centre, in s),
                     // limit; fields: Text1 and Text2, which made nearly every sample a peak

  // The shift of the scattergram (fields[0]: Text9).
  shiftNotANumber,
  shiftOutOfRange,     // limit: the largest magnitude of the 16-bit shift
  shiftPairsOutside,   // count: the interval that finds no partner
  debugIndexOverflow,  // limit: the largest index of the debug frame

  // Inputs that only the batch tool reads, never the window.
  tooFewBeats,       // count: a beat detector found fewer than two beats
  inputNotRead,      // file, reason: a beat or interval file that cannot be read
  inputLineInvalid,  // file, line, text, reason: a line of such a file is no valid value
};

// The kind to which a cause belongs.
ErrorKind errorKind(ErrorCause cause);

// The series of the analysis state an index addresses.
enum class Series { sampleLines, peakTimes, rrIntervals };

// A parameter box involved in an error, with the text it held.
struct FieldText {
  TextBox box;
  std::string text;
};

// What happened, as facts a front end can word: which cause, the parameter
// boxes, caption or sample line involved, the offending text and the
// numbers. Only the members that the cause names are filled.
struct ErrorFacts {
  ErrorCause cause;
  std::vector<FieldText> fields{};
  std::optional<Caption> caption{};
  std::optional<Picture> chart{};
  std::optional<Series> series{};
  std::string file{};
  std::string text{};  // the offending text of a caption or sample line
  std::int64_t line = 0;
  std::int64_t count = 0;
  std::int64_t limit = 0;
  double value = 0;
  int systemError = 0;   // an errno value
  std::string reason{};  // a batch-only reader's own account, in English
};

// The longest quotation, in characters, that a report carries of a text;
// longer texts are cut at a character boundary and end in "...".
inline constexpr std::size_t kQuotedCharacters = 40;

// Thrown by a stage to stop the run; the run adds the stage.
class RunError : public std::exception {
 public:
  // Cuts every quoted text to kQuotedCharacters characters.
  explicit RunError(ErrorFacts facts);

  const ErrorFacts& facts() const { return facts_; }
  ErrorKind kind() const { return errorKind(facts_.cause); }
  const char* what() const noexcept override;

 private:
  ErrorFacts facts_;
};

// What the front end is told when a run or a click stops.
struct RunReport {
  std::string stage;  // the stage or click handler that stopped
  ErrorFacts facts;

  ErrorKind kind() const { return errorKind(facts.cause); }
};

}  // namespace rrscope::analysis
