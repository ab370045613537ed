#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace rrscope::ui {

// What the window program was asked for: the window alone, the window with a
// file to analyse at once, its version, its usage, or nothing valid.
struct WindowCommandLine {
  enum class Request { window, version, help, badUsage };
  Request request = Request::window;
  std::optional<std::string> file;
  std::string problem;  // why the usage is bad
};

// Reads the arguments that follow the program name, once Qt has taken its
// own options out of them.
WindowCommandLine readWindowCommandLine(std::span<const std::string_view> arguments);

// The text that --help prints.
std::string_view windowUsageText();

}  // namespace rrscope::ui
