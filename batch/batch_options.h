#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/run_window.h"

namespace rrscope::batch {

// The nine parameter texts, in the order Text1 to Text9.
using ParameterTexts = std::array<std::string, 9>;

// What one invocation of the batch tool asks for.
struct BatchOptions {
  ParameterTexts parameters;  // the window's initial texts unless an option set one
  std::vector<std::string> files;
  bool withRR = false;
  bool csv = false;
  bool force = false;
  bool help = false;
  std::optional<std::string> displayListDir;
  std::optional<std::string> svgDir;
  std::optional<std::string> pngDir;

  bool writesCharts() const { return displayListDir || svgDir || pngDir; }
};

// The command line as options, or the one-line reason why it is no valid use.
struct ParsedOptions {
  BatchOptions options;
  std::string usageError;  // empty when the command line is valid
};

// Reads the arguments that follow the program name.
ParsedOptions parseBatchOptions(std::span<const std::string_view> arguments);

// The text that --help prints.
std::string_view usageText();

}  // namespace rrscope::batch
