#include "recordings/wfdb_header.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <numeric>

#include "recordings/recording_error.h"
#include "recordings/wfdb_files.h"

namespace rrscope::recordings {
namespace {

__extension__ using Wide = __int128;

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

// The most decimal digits a rate keeps: an int64 numerator holds 18.
constexpr std::size_t kRateDigits = 18;

// "360", "250.5" or "360.000000000001" as an exact fraction; decimals
// beyond 18 digits in all, far below any clock's precision, are dropped.
std::optional<SamplingRate> exactDecimal(std::string_view text) {
  const auto point = text.find('.');
  std::string_view whole = text.substr(0, point);
  std::string_view decimals =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  if (whole.empty() && decimals.empty()) return {};
  if (whole.find_first_not_of("0123456789") != std::string_view::npos ||
      decimals.find_first_not_of("0123456789") != std::string_view::npos) {
    return {};
  }
  while (whole.size() > 1 && whole.front() == '0') whole.remove_prefix(1);
  while (!decimals.empty() && decimals.back() == '0') decimals.remove_suffix(1);
  if (whole.size() > kRateDigits) return {};
  decimals = decimals.substr(0, kRateDigits - whole.size());
  std::string digits(whole);
  digits.append(decimals);
  const auto numerator = number<std::int64_t>(digits);
  if (!numerator) return {};
  std::int64_t denominator = 1;
  for (std::size_t i = 0; i < decimals.size(); ++i) denominator *= 10;
  return reducedRate(*numerator, denominator);
}

bool rateInRange(SamplingRate rate) {
  const Wide numerator = rate.numerator;
  return numerator >= Wide{kLowestWfdbRate} * rate.denominator &&
         numerator <= Wide{kHighestWfdbRate} * rate.denominator;
}

std::string rangeText() {
  return std::to_string(kLowestWfdbRate) + " to " + std::to_string(kHighestWfdbRate) + " Hz";
}

// The exact product of a rate and a whole factor, if it fits.
std::optional<SamplingRate> timesWhole(SamplingRate rate, std::int64_t factor) {
  const std::int64_t common = std::gcd(factor, rate.denominator);
  const Wide numerator = Wide{rate.numerator} * (factor / common);
  if (numerator > std::numeric_limits<std::int64_t>::max()) return {};
  return reducedRate(static_cast<std::int64_t>(numerator), rate.denominator / common);
}

// The widest span of converter values around a baseline: 32 bits and the
// baseline's own distance from 0.
double widestSpan(std::int64_t baseline) {
  return 4294967296.0 + std::abs(static_cast<double>(baseline));
}

class HeaderParser {
 public:
  explicit HeaderParser(std::string_view file) : file_(file) {}

  WfdbHeader parse(std::string_view text) const {
    const std::vector<std::string_view> lines = meaningfulLines(text);
    if (lines.empty()) fail("the header is empty");
    const std::vector<std::string_view> recordWords = fields(lines.front());
    WfdbHeader header = recordLine(recordWords);
    if (const auto segments = announcedSegments(recordWords)) {
      segmentLines(lines, *segments, header);
      return header;
    }
    const std::size_t announced = announcedSignals(recordWords);
    // Each signal needs a line of its own, so the count is checked against
    // the lines before anything is allocated for it.
    const std::size_t listed = std::min(announced, lines.size() - 1);
    if (listed != announced) signalCountMismatch(announced, listed);
    header.signals.reserve(announced);
    for (std::size_t i = 1; i <= announced; ++i) {
      header.signals.push_back(signalLine(fields(lines[i]), i - 1));
      checkSignalRate(header, i - 1);
    }
    return header;
  }

 private:
  [[noreturn]] void fail(const std::string& problem) const { throw RecordingError(file_, problem); }

  [[noreturn]] void signalCountMismatch(std::size_t announced, std::size_t listed) const {
    fail("the header announces " + std::to_string(announced) + " signals but lists " +
         std::to_string(listed));
  }

  std::size_t announcedSignals(const std::vector<std::string_view>& words) const {
    if (words.size() < 2) return 0;
    const auto count = number<std::int64_t>(words[1]);
    if (!count || *count < 0) fail("bad number of signals in the record line");
    return static_cast<std::size_t>(*count);
  }

  // "name/3": a record of 3 segments.
  std::optional<std::size_t> announcedSegments(const std::vector<std::string_view>& words) const {
    const auto slash = words.front().find('/');
    if (slash == std::string_view::npos) return {};
    const auto count = number<std::int64_t>(words.front().substr(slash + 1));
    if (!count || *count <= 0) fail("bad number of segments in the record line");
    return static_cast<std::size_t>(*count);
  }

  // Like signals, each segment needs a line of its own.
  void segmentLines(const std::vector<std::string_view>& lines, std::size_t announced,
                    WfdbHeader& header) const {
    const std::size_t listed = std::min(announced, lines.size() - 1);
    if (listed != announced) {
      fail("the header announces " + std::to_string(announced) + " segments but lists " +
           std::to_string(listed));
    }
    header.segments.reserve(announced);
    for (std::size_t i = 1; i <= announced; ++i) {
      const std::vector<std::string_view> words = fields(lines[i]);
      const auto length = words.size() == 2 ? number<std::int64_t>(words[1]) : std::nullopt;
      if (!length || *length < 0) fail("bad segment line \"" + std::string(lines[i]) + "\"");
      header.segments.push_back({std::string(words[0]), *length});
    }
  }

  WfdbHeader recordLine(const std::vector<std::string_view>& words) const {
    WfdbHeader header;
    header.record = std::string(words.front().substr(0, words.front().find('/')));
    header.rate = {250, 1};  // WFDB's default when the line gives none
    if (words.size() > 2) rateField(words[2], header);
    if (words.size() > 3) {
      const auto count = number<std::int64_t>(words[3]);
      if (!count || *count < 0) fail("bad number of samples \"" + std::string(words[3]) + "\"");
      if (*count > 0) header.sampleCount = count;
    }
    return header;
  }

  // "360", "128.5/1000" (a counter frequency follows the slash) or
  // "360/1000(12)" (and the counter's value at the start).
  void rateField(std::string_view text, WfdbHeader& header) const {
    const std::string_view frames = text.substr(0, text.find_first_of("/("));
    const auto rate = exactDecimal(frames);
    if (!rate) fail("bad sampling rate \"" + std::string(text) + "\"");
    if (rate->numerator == 0) fail("the sampling rate is 0");
    if (!rateInRange(*rate)) {
      fail("the sampling rate " + std::string(frames) + " Hz is outside " + rangeText());
    }
    header.rate = *rate;
    const auto slash = text.find('/');
    if (slash == std::string_view::npos) return;
    const std::string_view counter = text.substr(slash + 1, text.find('(', slash) - slash - 1);
    const auto counterRate = exactDecimal(counter);
    if (!counterRate || counterRate->numerator == 0) {
      fail("bad counter frequency \"" + std::string(text) + "\"");
    }
    header.counterRate = counterRate;
  }

  void checkSignalRate(const WfdbHeader& header, std::size_t index) const {
    const int perFrame = header.signals[index].samplesPerFrame;
    const auto rate = timesWhole(header.rate, perFrame);
    if (!rate || !rateInRange(*rate)) {
      fail("the sampling rate of signal " + std::to_string(index) + " (" +
           std::to_string(perFrame) + " samples per frame) is outside " + rangeText());
    }
  }

  WfdbSignal signalLine(const std::vector<std::string_view>& words, std::size_t index) const {
    if (words.size() < 2) fail("a signal line lacks its format");
    WfdbSignal signal;
    signal.file = std::string(words[0]);
    formatField(words[1], signal);
    if (words.size() > 2) gainField(words[2], signal);
    const bool baselineGiven = words.size() > 2 && words[2].find('(') != std::string_view::npos;
    if (words.size() > 4) {
      const auto zero = number<std::int64_t>(words[4]);
      if (!zero) fail("bad ADC zero \"" + std::string(words[4]) + "\"");
      if (!baselineGiven) signal.baseline = *zero;
      signal.initialValue = *zero;
    }
    if (words.size() > 5) {
      const auto initial = number<std::int64_t>(words[5]);
      if (!initial) fail("bad initial value \"" + std::string(words[5]) + "\"");
      signal.initialValue = *initial;
    }
    for (std::size_t i = 8; i < words.size(); ++i) {
      if (!signal.label.empty()) signal.label += ' ';
      signal.label += words[i];
    }
    if (!(widestSpan(signal.baseline) / std::abs(signal.gain) <= kLargestPhysicalValue)) {
      fail("the gain and baseline \"" + std::string(words[2]) + "\" of signal " +
           std::to_string(index) + " make physical values beyond " +
           std::to_string(static_cast<long long>(kLargestPhysicalValue)));
    }
    return signal;
  }

  // "212", "16x2" (samples per frame), "16:3" (a skew of 3 frames),
  // "212+1024" (a byte offset), in that order.
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
      const bool fitsInt = *value <= std::numeric_limits<int>::max();
      if (tag == 'x' && fitsInt && *value > 0) {
        signal.samplesPerFrame = static_cast<int>(*value);
      } else if (tag == ':' && fitsInt) {
        signal.skew = static_cast<int>(*value);
      } else if (tag == '+') {
        signal.byteOffset = *value;
      } else {
        fail("bad signal format \"" + std::string(text) + "\"");
      }
      rest = valueEnd == std::string_view::npos ? "" : rest.substr(valueEnd);
    }
  }

  // "200", "200(11)", "200/mV", "200(0)/uV", "-200" (an inverted lead); a
  // gain of 0 means 200.
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
    if (!value) fail("bad gain \"" + std::string(text) + "\"");
    if (!std::isfinite(*value)) fail("the gain \"" + std::string(text) + "\" is not a number");
    if (*value == 0 && std::signbit(*value)) {
      fail("the gain \"" + std::string(text) + "\" is a negative zero");
    }
    if (*value != 0) signal.gain = *value;
  }

  std::string_view file_;
};

std::string headerText(const std::string& path) {
  requireRegularFile(path, "header");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RecordingError(path, "cannot open the header");
  std::string text(kLargestWfdbHeaderBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > kLargestWfdbHeaderBytes) {
    throw RecordingError(
        path, "the header is larger than " + std::to_string(kLargestWfdbHeaderBytes >> 20) + " MB");
  }
  return text;
}

}  // namespace

SamplingRate WfdbHeader::signalRate(std::size_t index) const {
  // The parser has checked that the product fits.
  return timesWhole(rate, signals.at(index).samplesPerFrame).value_or(rate);
}

WfdbHeader parseWfdbHeader(std::string_view text, std::string_view file) {
  return HeaderParser(file).parse(text);
}

WfdbHeader readWfdbHeader(const std::string& path) {
  return parseWfdbHeader(headerText(path), path);
}

}  // namespace rrscope::recordings
