#pragma once

#include <filesystem>
#include <ostream>
#include <span>
#include <string>

#include "recordings/recording.h"

namespace rrscope::recordings {

// The recording as a table at its own rate: the header
// "sample,time_s,LABEL_UNITS", then one row per sample: its number from 0,
// its time in s (number / rate) and its physical value, each in the
// shortest form that reads back to the same double; a sample the file marks
// as invalid has an empty value. This is the exact form of the samples, not
// the window's resampled text.
std::string csvExport(const Recording& recording);

// Several signals of one recording in one table, a value column each.
// Signals of different rates share the finest grid on which every one of
// their samples falls (for WFDB samples per frame and EDF samples per data
// record, the fastest signal's rate): "sample" counts on that grid, and a
// row is written only where at least one signal has a sample; the others
// leave the field empty. Throws std::invalid_argument when the rates have
// no common grid up to 10 MHz, or when `signals` is empty.
std::string csvExport(std::span<const Recording> signals);

// Writes csvExport(signals) to `out` piece by piece: memory holds a piece of
// the table, never the whole of it. Stops at the first piece `out` fails to
// take, leaving `out` failed. Throws as csvExport does.
void writeCsvTable(std::span<const Recording> signals, std::ostream& out);

// Writes the table to `path`, whole or not at all (a temporary name, then a
// rename), streamed as writeCsvTable streams it. Throws std::runtime_error
// with the system's reason.
void writeCsvExport(std::span<const Recording> signals, const std::filesystem::path& path);

}  // namespace rrscope::recordings
