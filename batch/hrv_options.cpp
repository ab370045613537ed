// The options of the variability measures and of files of RR intervals.
#include "batch/batch_options.h"
#include "batch/option_group.h"

namespace rrscope::batch {

void addHrvOptions(CLI::App& app, BatchOptions& options) {
  OptionGroup group(app, "Heart rate variability");
  group.flag("--hrv", options.withHrv,
             "add \"hrv\", the variability measures of the run's\n"
             "RR series, and \"hrv_undefined\", the reason of each\n"
             "null; with --csv, a column per measure");
  group.choice("--input", {"samples", "rr"}, "KIND",
               "samples (the default): ECG samples, one per line;\n"
               "rr: RR intervals in ms, one per line; the line then\n"
               "holds only file, hrv, hrv_undefined, intervals, error",
               [&options](const std::string& kind) { options.rrInput = kind == "rr"; });
}

std::string checkHrvCombination(const BatchOptions& options) {
  if (!options.rrInput) return {};
  if (options.withRR) return "--rr needs sample files and cannot go with --input=rr";
  if (options.writesCharts()) return "files of RR intervals have no charts to write";
  return {};
}

}  // namespace rrscope::batch
