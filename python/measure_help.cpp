#include "measure_help.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "hrv/measure_catalogue.h"

namespace rrscope::python {
namespace {

std::string_view withoutSpectrumPrefix(std::string_view key) {
  for (const std::string_view prefix : {"ar_", "ls_"}) {
    if (key.starts_with(prefix)) return key.substr(prefix.size());
  }
  return key;
}

// The AR and Lomb-Scargle keys follow the convention of the Welch key
// without their prefix.
std::string_view conventionOf(std::string_view key) {
  const hrv::MeasureEntry* entry = hrv::measureEntryOfKey(withoutSpectrumPrefix(key));
  return entry == nullptr ? "" : entry->convention;
}

std::string spectrumNote(std::string_view key) {
  if (key.starts_with("ar_")) return " (Burg AR of order 16)";
  if (key.starts_with("ls_")) return " (Lomb-Scargle on the beat times)";
  return "";
}

}  // namespace

std::string measureKeysHelp() {
  std::string text;
  for (const hrv::Measure measure : hrv::allMeasures()) {
    const hrv::MeasureEntry& entry = hrv::measureEntry(measure);
    const std::string_view key = entry.key;
    std::string line = "    " + std::string(key);
    line.resize(std::max<std::size_t>(line.size() + 1, 27), ' ');
    line += std::string(hrv::unitTexts(entry.unit).plain);
    line.resize(std::max<std::size_t>(line.size() + 1, 38), ' ');
    text += line + std::string(conventionOf(key)) + spectrumNote(key) + '\n';
  }
  return text;
}

}  // namespace rrscope::python
