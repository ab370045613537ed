#include "recordings/csv_export.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <limits>
#include <numeric>
#include <sstream>
#include <stdexcept>

#include "recordings/shortest_text.h"

namespace rrscope::recordings {
namespace {

constexpr std::int64_t kMaxCommonRateHz = 10'000'000;

// The table goes out in pieces of this size: a day of samples makes a
// gigabyte of text, which is never held whole.
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

// The label and units as one header field: quoted when they hold a comma
// or a quote, quotes doubled.
std::string valueColumn(const Recording& recording) {
  std::string name = recording.channel.empty() ? "signal" : recording.channel;
  if (!recording.units.empty()) name += " (" + recording.units + ")";
  if (name.find_first_of(",\"\n\r") == std::string::npos) return name;
  std::string quoted = "\"";
  for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

// Where one signal's samples fall on the common grid: every `step`-th row.
struct GridSignal {
  const Recording* recording;
  std::int64_t step;
  std::vector<SampleRun>::const_iterator invalid;
};

std::int64_t checkedProduct(std::int64_t a, std::int64_t b) {
  std::int64_t product = 0;
  if (__builtin_mul_overflow(a, b, &product)) return std::numeric_limits<std::int64_t>::max();
  return product;
}

// The finest rate of which every signal's rate is a whole fraction: the
// least common multiple of the numerators over the greatest common divisor
// of the denominators (rates are reduced fractions).
SamplingRate commonRate(std::span<const Recording> signals) {
  std::int64_t numerators = 1;
  std::int64_t denominators = 0;
  for (const Recording& signal : signals) {
    const std::int64_t numerator = signal.rate.numerator;
    numerators = checkedProduct(numerators / std::gcd(numerators, numerator), numerator);
    denominators = std::gcd(denominators, signal.rate.denominator);
    if (numerators / denominators > kMaxCommonRateHz) {
      throw std::invalid_argument(
          "the signals' rates have no common grid up to 10 MHz; export them one at a time with "
          "--signal N");
    }
  }
  return reducedRate(numerators, denominators);
}

bool missingAt(GridSignal& signal, std::size_t sample) {
  const auto& runs = signal.recording->invalid;
  while (signal.invalid != runs.end() && signal.invalid->end <= sample) ++signal.invalid;
  return signal.invalid != runs.end() && signal.invalid->first <= sample;
}

// Hands `text` to `out` and empties it for the next piece; false once the
// stream has failed, so that the export stops there.
bool writePiece(std::ostream& out, std::string& text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  text.clear();
  return static_cast<bool>(out);
}

}  // namespace

std::string csvExport(const Recording& recording) {
  return csvExport(std::span(&recording, 1));
}

std::string csvExport(std::span<const Recording> signals) {
  std::ostringstream out;
  writeCsvTable(signals, out);
  return std::move(out).str();
}

void writeCsvTable(std::span<const Recording> signals, std::ostream& out) {
  if (signals.empty()) throw std::invalid_argument("no signal to export");
  const SamplingRate rate = commonRate(signals);
  std::vector<GridSignal> grid;
  std::string text = "sample,time_s";
  for (const Recording& signal : signals) {
    // rate / signal.rate, a whole number by the choice of the common rate.
    const std::int64_t step =
        (rate.numerator / signal.rate.numerator) * (signal.rate.denominator / rate.denominator);
    grid.push_back({&signal, step, signal.invalid.begin()});
    text += ',' + valueColumn(signal);
  }
  text += '\n';
  text.reserve(kPieceBytes + 4096);
  const double hertz = rate.hertz();
  // Rows in order of the grid: the next row is the nearest sample of any
  // signal, so rows without a sample cost nothing.
  std::vector<std::size_t> next(grid.size(), 0);
  while (true) {
    std::int64_t row = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = 0; i < grid.size(); ++i) {
      if (next[i] < grid[i].recording->values.size()) {
        row = std::min(row, static_cast<std::int64_t>(next[i]) * grid[i].step);
      }
    }
    if (row == std::numeric_limits<std::int64_t>::max()) break;
    text += std::to_string(row);
    text += ',';
    appendShortest(text, static_cast<double>(row) / hertz);
    for (std::size_t i = 0; i < grid.size(); ++i) {
      text += ',';
      if (next[i] >= grid[i].recording->values.size() ||
          static_cast<std::int64_t>(next[i]) * grid[i].step != row) {
        continue;
      }
      if (!missingAt(grid[i], next[i])) appendShortest(text, grid[i].recording->physical(next[i]));
      ++next[i];
    }
    text += '\n';
    if (text.size() >= kPieceBytes && !writePiece(out, text)) return;
  }
  writePiece(out, text);
}

void writeCsvExport(std::span<const Recording> signals, const std::filesystem::path& path) {
  const std::filesystem::path partial =
      path.string() + ".part-" + std::to_string(static_cast<long>(::getpid()));
  const auto removePartial = [&partial] {
    std::error_code ignored;
    std::filesystem::remove(partial, ignored);
  };
  const auto fail = [&](const std::string& reason) {
    removePartial();
    throw std::runtime_error("cannot write " + path.string() + ": " + reason);
  };
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    try {
      writeCsvTable(signals, out);
    } catch (...) {
      out.close();
      removePartial();
      throw;
    }
    out.close();
    if (!out) fail(std::strerror(errno));
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  if (error) fail(error.message());
}

}  // namespace rrscope::recordings
