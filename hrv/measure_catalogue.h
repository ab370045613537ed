#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "hrv/hrv_measures.h"

namespace rrscope::hrv {

// The units the measures come in, each written as every front end writes it.
enum class Unit : std::uint8_t { none, ms, ms2, bpm, percent, hz, normalized };
struct UnitTexts {
  std::string_view plain;   // ASCII, in the Python module's help: "ms^2", "-" for none
  std::string_view window;  // in Russian, in the measures window
  std::string_view report;  // in Russian, in the report's tables
};
const UnitTexts& unitTexts(Unit unit);

// Everything the tools say about one measure, in one row: the batch tool,
// its CSV and the Python module name it by its key; the measures window
// and the report each by a Russian caption of their own, which differ
// where the report's narrow table wants a shorter one or a group title
// already names the spectrum.
struct MeasureEntry {
  Measure measure;
  std::string_view key;  // such as "mean_nn_ms"; the suffix names the unit
  Unit unit;
  std::optional<Band> band;  // of the spectral powers and peaks
  // The convention it follows, one English line for the Python module's
  // help (the README's table of conventions gives the peers each agrees
  // with); empty for the AR and Lomb–Scargle measures, which follow the
  // convention of the Welch measure of the same key without "ar_" or "ls_".
  std::string_view convention;
  std::string_view windowName;   // in Russian
  std::string_view explanation;  // in Russian, the tooltip of the window's row
  int windowDecimals;
  std::string_view reportName;  // in Russian
};

const MeasureEntry& measureEntry(Measure measure);

// The entry of the measure written out under `key`, if there is one.
const MeasureEntry* measureEntryOfKey(std::string_view key);

// Why a measure has no value, as the tools say it: in English in the batch
// tool, its CSV and the Python module (undefinedText), in Russian in the
// measures window.
struct ReasonTexts {
  Undefined reason;
  std::string_view plain;
  std::string_view window;
};
const ReasonTexts& reasonTexts(Undefined reason);

}  // namespace rrscope::hrv
