#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/run_window.h"
#include "batch/batch_options.h"

namespace rrscope::batch {

// The name that a file's outputs share: the file name without its extension.
std::string outputStem(std::string_view file);

// DIR/STEM.json, DIR/STEM-Picture3.svg, ...
std::filesystem::path displayListPath(const std::string& dir, std::string_view stem);
std::filesystem::path svgPath(const std::string& dir, std::string_view stem,
                              analysis::Picture picture);
std::filesystem::path windowPngPath(const std::string& dir, std::string_view stem);
std::filesystem::path picturePngPath(const std::string& dir, std::string_view stem,
                                     analysis::Picture picture);

// Every file that the options will write for `file`; of a text export, whose
// number of parts is known only once it runs, the first part's name.
std::vector<std::filesystem::path> plannedOutputs(const BatchOptions& options,
                                                  std::string_view file);

// Makes the output folders and checks, before anything runs, that no output
// would overwrite an existing file (unless --force) or another output of the
// same invocation. Returns the one-line reason when it cannot go ahead.
std::string prepareOutputs(const BatchOptions& options);

// One file of a set written together.
struct OutputContent {
  std::filesystem::path path;
  std::string_view content;
};

// Writes the files of a set all or none: each goes to a temporary beside
// its name, and all take their names only once every one is complete. On
// failure (a full disk, a read-only folder, a folder in a file's place) no
// temporary is left and no file of the set keeps its new content; OutputError
// names the file and the system's reason, as in
// "cannot write \"r.png\" (No space left on device)".
void writeOutputsTogether(std::span<const OutputContent> outputs);

// The five pictures in order.
inline constexpr analysis::Picture kPictures[] = {
    analysis::Picture::Picture1, analysis::Picture::Picture2, analysis::Picture::Picture3,
    analysis::Picture::Picture4, analysis::Picture::Picture5};

}  // namespace rrscope::batch
