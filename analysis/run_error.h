#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace rrscope {

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

// "Cannot open file", "Subscript out of range", ...: the kind as a user reads it.
std::string_view errorKindTitle(ErrorKind kind);

// Thrown by a stage to stop the run. The message is one sentence that tells
// the user what went wrong and what to do about it; the run adds the stage.
class RunError : public std::runtime_error {
 public:
  RunError(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

// What the user is told when a run stops.
struct RunReport {
  ErrorKind kind;
  std::string stage;
  std::string message;

  // "Subscript out of range in showRhythmStatistics: fewer than two ..."
  std::string text() const;
};

}  // namespace rrscope
