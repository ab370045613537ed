#include "recordings/wfdb_header.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "recordings/recording_error.h"

namespace rrscope::recordings {
namespace {

std::vector<std::string_view> meaningfulLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
      line.remove_suffix(1);
    }
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;
    lines.push_back(line.substr(first));
  }
  return lines;
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while ((at = line.find_first_not_of(" \t", at)) != std::string_view::npos) {
    const auto end = line.find_first_of(" \t", at);
    words.push_back(line.substr(at, end - at));
    at = end == std::string_view::npos ? line.size() : end;
  }
  return words;
}

template <typename Number>
std::optional<Number> number(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
  return value;
}

// "360", "250.5" or "128/1.5" (a counter frequency follows the slash) as an
// exact fraction.
std::optional<SamplingRate> exactRate(std::string_view text) {
  text = text.substr(0, text.find_first_of("/("));
  const auto point = text.find('.');
  std::int64_t denominator = 1;
  std::string digits(text.substr(0, point));
  if (point != std::string_view::npos) {
    const std::string_view decimals = text.substr(point + 1);
    if (decimals.size() > 9) return {};
    digits += decimals;
    for (std::size_t i = 0; i < decimals.size(); ++i) denominator *= 10;
  }
  const auto numerator = number<std::int64_t>(digits);
  if (!numerator || *numerator < 0) return {};
  return reducedRate(*numerator, denominator);
}

class HeaderParser {
 public:
  explicit HeaderParser(std::string_view file) : file_(file) {}

  WfdbHeader parse(std::string_view text) const {
    const std::vector<std::string_view> lines = meaningfulLines(text);
    if (lines.empty()) fail("the header is empty");
    WfdbHeader header = recordLine(fields(lines.front()));
    const std::size_t announced = header.signals.size();
    header.signals.clear();
    for (std::size_t i = 1; i < lines.size() && header.signals.size() < announced; ++i) {
      header.signals.push_back(signalLine(fields(lines[i])));
    }
    if (header.signals.size() != announced) {
      fail("the header announces " + std::to_string(announced) + " signals but lists " +
           std::to_string(header.signals.size()));
    }
    return header;
  }

 private:
  [[noreturn]] void fail(const std::string& problem) const { throw RecordingError(file_, problem); }

  WfdbHeader recordLine(const std::vector<std::string_view>& words) const {
    WfdbHeader header;
    header.record = std::string(words.front());
    if (header.record.find('/') != std::string::npos) {
      fail("multi-segment records are not supported");
    }
    const auto signalCount = words.size() > 1 ? number<int>(words[1]) : std::optional<int>(0);
    if (!signalCount || *signalCount < 0) fail("bad number of signals in the record line");
    header.signals.resize(static_cast<std::size_t>(*signalCount));
    header.rate = {250, 1};  // WFDB's default when the line gives none
    if (words.size() > 2) {
      const auto rate = exactRate(words[2]);
      if (!rate) fail("bad sampling rate \"" + std::string(words[2]) + "\"");
      if (rate->numerator == 0) fail("the sampling rate is 0");
      header.rate = *rate;
    }
    if (words.size() > 3) {
      const auto count = number<std::int64_t>(words[3]);
      if (!count || *count < 0) fail("bad number of samples \"" + std::string(words[3]) + "\"");
      if (*count > 0) header.sampleCount = count;
    }
    return header;
  }

  WfdbSignal signalLine(const std::vector<std::string_view>& words) const {
    if (words.size() < 2) fail("a signal line lacks its format");
    WfdbSignal signal;
    signal.file = std::string(words[0]);
    formatField(words[1], signal);
    if (words.size() > 2) gainField(words[2], signal);
    const bool baselineGiven = words.size() > 2 && words[2].find('(') != std::string_view::npos;
    if (words.size() > 4 && !baselineGiven) {
      const auto zero = number<std::int64_t>(words[4]);
      if (!zero) fail("bad ADC zero \"" + std::string(words[4]) + "\"");
      signal.baseline = *zero;
    }
    for (std::size_t i = 8; i < words.size(); ++i) {
      if (!signal.label.empty()) signal.label += ' ';
      signal.label += words[i];
    }
    return signal;
  }

  // "212", "16x2", "212+1024", "16:3" (a skew, ignored: it only shifts
  // signals against each other).
  void formatField(std::string_view text, WfdbSignal& signal) const {
    const auto end = text.find_first_not_of("0123456789");
    const auto format = number<int>(text.substr(0, end));
    if (!format) fail("bad signal format \"" + std::string(text) + "\"");
    signal.format = *format;
    std::string_view rest = end == std::string_view::npos ? "" : text.substr(end);
    while (!rest.empty()) {
      const char tag = rest.front();
      const auto valueEnd = rest.find_first_not_of("0123456789", 1);
      const auto value = number<std::int64_t>(rest.substr(1, valueEnd - 1));
      if (!value) fail("bad signal format \"" + std::string(text) + "\"");
      if (tag == 'x') signal.samplesPerFrame = static_cast<int>(*value);
      if (tag == '+') signal.byteOffset = *value;
      rest = valueEnd == std::string_view::npos ? "" : rest.substr(valueEnd);
    }
  }

  // "200", "200(11)", "200/mV", "200(0)/uV"; a gain of 0 means 200.
  void gainField(std::string_view text, WfdbSignal& signal) const {
    const auto slash = text.find('/');
    if (slash != std::string_view::npos) signal.units = std::string(text.substr(slash + 1));
    std::string_view gain = text.substr(0, slash);
    const auto open = gain.find('(');
    if (open != std::string_view::npos) {
      const auto close = gain.find(')', open);
      const auto baseline = number<std::int64_t>(gain.substr(open + 1, close - open - 1));
      if (close == std::string_view::npos || !baseline)
        fail("bad baseline in \"" + std::string(text) + "\"");
      signal.baseline = *baseline;
      gain = gain.substr(0, open);
    }
    const auto value = number<double>(gain);
    if (!value || *value < 0) fail("bad gain \"" + std::string(text) + "\"");
    if (*value > 0) signal.gain = *value;
  }

  std::string_view file_;
};

}  // namespace

WfdbHeader parseWfdbHeader(std::string_view text, std::string_view file) {
  return HeaderParser(file).parse(text);
}

WfdbHeader readWfdbHeader(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RecordingError(path, "cannot open the header");
  std::ostringstream text;
  text << in.rdbuf();
  return parseWfdbHeader(text.str(), path);
}

}  // namespace rrscope::recordings
