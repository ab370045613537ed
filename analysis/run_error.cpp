#include "analysis/run_error.h"

namespace rrscope {

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

std::string_view errorKindTitle(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::cannotOpenFile:
      return "Cannot open file";
    case ErrorKind::readError:
      return "Read error";
    case ErrorKind::subscriptOutOfRange:
      return "Subscript out of range";
    case ErrorKind::overflow:
      return "Overflow";
    case ErrorKind::divisionByZero:
      return "Division by zero";
    case ErrorKind::typeMismatch:
      return "Type mismatch";
    case ErrorKind::outOfMemory:
      return "Out of memory";
  }
  return "Error";
}

std::string RunReport::text() const {
  return std::string(errorKindTitle(kind)) + " in " + stage + ": " + message;
}

}  // namespace rrscope
