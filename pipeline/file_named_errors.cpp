#include "pipeline/file_named_errors.h"

namespace rrscope::pipeline {

std::string namingFile(std::string_view file, std::string_view message) {
  if (message.starts_with(file)) return std::string(message);
  return std::string(file) + ": " + std::string(message);
}

}  // namespace rrscope::pipeline
