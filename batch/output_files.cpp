#include "batch/output_files.h"

#include <set>
#include <stdexcept>
#include <system_error>

namespace rrscope::batch {
namespace {

// "\"NAME\"" followed by `rest`.
std::string quoted(std::string_view name, std::string_view rest) {
  std::string text = "\"";
  text += name;
  text += '"';
  text += rest;
  return text;
}

std::string pictureName(Picture picture) {
  return "Picture" + std::to_string(static_cast<int>(picture) + 1);
}

std::filesystem::path inFolder(const std::string& dir, std::string name) {
  return std::filesystem::path(dir) / std::filesystem::path(std::move(name));
}

std::string makeFolder(const std::string& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error || !std::filesystem::is_directory(dir)) {
    return "cannot make the output folder " +
           quoted(dir, error ? " (" + error.message() + ")" : std::string());
  }
  return {};
}

}  // namespace

std::string outputStem(std::string_view file) {
  return std::filesystem::path(file).stem().string();
}

std::filesystem::path displayListPath(const std::string& dir, std::string_view stem) {
  return inFolder(dir, std::string(stem) + ".json");
}

std::filesystem::path svgPath(const std::string& dir, std::string_view stem, Picture picture) {
  return inFolder(dir, std::string(stem) + "-" + pictureName(picture) + ".svg");
}

std::filesystem::path windowPngPath(const std::string& dir, std::string_view stem) {
  return inFolder(dir, std::string(stem) + ".png");
}

std::filesystem::path picturePngPath(const std::string& dir, std::string_view stem,
                                     Picture picture) {
  return inFolder(dir, std::string(stem) + "-" + pictureName(picture) + ".png");
}

std::vector<std::filesystem::path> plannedOutputs(const BatchOptions& options,
                                                  std::string_view file) {
  const std::string stem = outputStem(file);
  std::vector<std::filesystem::path> paths;
  if (options.displayListDir) paths.push_back(displayListPath(*options.displayListDir, stem));
  if (options.svgDir) {
    for (const Picture picture : kPictures)
      paths.push_back(svgPath(*options.svgDir, stem, picture));
  }
  if (options.pngDir) {
    paths.push_back(windowPngPath(*options.pngDir, stem));
    for (const Picture picture : kPictures) {
      paths.push_back(picturePngPath(*options.pngDir, stem, picture));
    }
  }
  if (const auto& dir = options.recording.reportDir) {
    paths.push_back(inFolder(*dir, stem + ".pdf"));
    paths.push_back(inFolder(*dir, stem + ".png"));
  }
  return paths;
}

std::string prepareOutputs(const BatchOptions& options) {
  if (!options.writesCharts() && !options.recording.reportDir && !options.recording.toTextDir) {
    return {};
  }
  std::set<std::filesystem::path> planned;
  for (const std::string& file : options.files) {
    if (outputStem(file).empty()) {
      return quoted(file, " has no file name to name its output files after");
    }
    for (const std::filesystem::path& path : plannedOutputs(options, file)) {
      const std::filesystem::path key = std::filesystem::weakly_canonical(path);
      if (!planned.insert(key).second) {
        return "two input files would both write " +
               quoted(path.string(), "; give files with different names");
      }
      if (!options.force && std::filesystem::exists(path)) {
        return quoted(path.string(), " exists already; use --force to overwrite it");
      }
    }
  }
  for (const auto& dir : {options.displayListDir, options.svgDir, options.pngDir,
                          options.recording.reportDir, options.recording.toTextDir}) {
    if (!dir) continue;
    if (std::string problem = makeFolder(*dir); !problem.empty()) return problem;
  }
  return {};
}

}  // namespace rrscope::batch
