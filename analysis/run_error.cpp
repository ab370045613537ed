#include "analysis/run_error.h"

#include "text/text_cut.h"

namespace rrscope::analysis {

std::string_view errorKindKey(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::cannotOpenFile:
      return "cannot-open-file";
    case ErrorKind::readError:
      return "read-error";
    case ErrorKind::subscriptOutOfRange:
      return "subscript-out-of-range";
    case ErrorKind::overflow:
      return "overflow";
    case ErrorKind::divisionByZero:
      return "division-by-zero";
    case ErrorKind::typeMismatch:
      return "type-mismatch";
    case ErrorKind::outOfMemory:
      return "out-of-memory";
  }
  return "unknown";
}

ErrorKind errorKind(ErrorCause cause) {
  switch (cause) {
    case ErrorCause::noFileChosen:
    case ErrorCause::fileNotOpened:
    case ErrorCause::fileIsFolder:
    case ErrorCause::fileIsDevice:
    case ErrorCause::pipeWithoutWriter:
      return ErrorKind::cannotOpenFile;
    case ErrorCause::readFailed:
    case ErrorCause::lineTooLong:
      return ErrorKind::readError;
    case ErrorCause::outOfMemory:
      return ErrorKind::outOfMemory;
    case ErrorCause::tooManyLines:
    case ErrorCause::positionOutOfRange:
    case ErrorCause::tooFewPeaks:
    case ErrorCause::noSamples:
    case ErrorCause::noFileLoaded:
    case ErrorCause::shiftPairsOutside:
    case ErrorCause::tooFewBeats:
      return ErrorKind::subscriptOutOfRange;
    case ErrorCause::inputNotRead:
      return ErrorKind::cannotOpenFile;
    case ErrorCause::inputLineInvalid:
      return ErrorKind::typeMismatch;
    case ErrorCause::parameterBeyondRange:
    case ErrorCause::captionBeyondRange:
    case ErrorCause::sampleBeyondRange:
    case ErrorCause::guardBeyondRange:
    case ErrorCause::noIntervals:
    case ErrorCause::heartRateBeyondRange:
    case ErrorCause::chartBeyondRange:
    case ErrorCause::binOverflow:
    case ErrorCause::shiftOutOfRange:
    case ErrorCause::debugIndexOverflow:
      return ErrorKind::overflow;
    case ErrorCause::zeroObservationTime:
      return ErrorKind::divisionByZero;
    case ErrorCause::shiftNotANumber:
      return ErrorKind::typeMismatch;
  }
  return ErrorKind::overflow;
}

RunError::RunError(ErrorFacts facts) : facts_(std::move(facts)) {
  facts_.text = text::cutToCharacters(facts_.text, kQuotedCharacters);
  for (FieldText& field : facts_.fields) {
    field.text = text::cutToCharacters(field.text, kQuotedCharacters);
  }
}

const char* RunError::what() const noexcept {
  return errorKindKey(kind()).data();
}

}  // namespace rrscope::analysis
