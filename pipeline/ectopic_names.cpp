#include "pipeline/ectopic_names.h"

namespace rrscope::pipeline {

std::string_view ectopicHandlingName(EctopicHandling handling) {
  return handling == EctopicHandling::interpolate ? "interpolate" : "exclude";
}

std::optional<EctopicHandling> ectopicHandlingNamed(std::string_view name) {
  for (const EctopicHandling handling : kEctopicHandlings) {
    if (name == ectopicHandlingName(handling)) return handling;
  }
  return std::nullopt;
}

}  // namespace rrscope::pipeline
