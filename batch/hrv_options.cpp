// The options of the variability measures and of files of RR intervals.
#include <CLI/CLI.hpp>

#include "batch/batch_options.h"

namespace rrscope::batch {

void addHrvOptions(CLI::App& app, BatchOptions& options) {
  const auto group = "Heart rate variability";
  app.add_flag("--hrv", options.withHrv,
               "add \"hrv\", the variability measures of the run's\n"
               "RR series, and \"hrv_undefined\", the reason of each\n"
               "null; with --csv, a column per measure")
      ->group(group);
  app.add_option_function<std::string>(
         "--input", [&options](const std::string& kind) { options.rrInput = kind == "rr"; },
         "samples (the default): ECG samples, one per line;\n"
         "rr: RR intervals in ms, one per line; the line then\n"
         "holds only file, hrv, hrv_undefined, intervals, error")
      ->type_name("KIND")
      ->check(CLI::IsMember({"samples", "rr"}))
      ->group(group);
}

std::string checkHrvCombination(const BatchOptions& options) {
  if (!options.rrInput) return {};
  if (options.withRR) return "--rr needs sample files and cannot go with --input=rr";
  if (options.writesCharts()) return "files of RR intervals have no charts to write";
  return {};
}

}  // namespace rrscope::batch
