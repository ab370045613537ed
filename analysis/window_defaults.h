#pragma once

#include <array>
#include <string_view>

#include "analysis/run_window.h"

namespace rrscope::analysis {

// The texts of Text1 to Text9 when the window opens; Command3 restores them.
inline constexpr std::array<std::string_view, 9> kInitialTexts = {
    "0.4", "0.4", "0.03", "0.4", "0.5", "0.5", "500", "0.05", "1"};

constexpr std::string_view initialText(TextBox box) {
  return kInitialTexts[static_cast<std::size_t>(box)];
}

// The captions of the run's labels when the window opens.
constexpr std::string_view initialCaption(Caption label) {
  switch (label) {
    case Caption::sam:
      return "";
    case Caption::TR:
      return " ";
    case Caption::Label8:
      return "0";
    case Caption::Label16:
      return "RRi+tau,    с";
    case Caption::Label21:
      return "";
    case Caption::Label22:
      return "0";
  }
  return "";
}

}  // namespace rrscope::analysis
