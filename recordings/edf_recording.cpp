#include <edflib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

#include "recordings/biosig_edf_fallback.h"
#include "recordings/edf_header_check.h"
#include "recordings/read_recording.h"
#include "recordings/recording_error.h"
#include "recordings/voltage_units.h"
#include "recordings/wfdb_files.h"

namespace rrscope::recordings {
namespace {

constexpr long long kTicksPerSecond = 10'000'000;  // EDFlib counts time in 100 ns

std::string openProblem(int code) {
  switch (code) {
    case EDFLIB_NO_SUCH_FILE_OR_DIRECTORY:
      return "cannot open the file";
    case EDFLIB_FILE_CONTAINS_FORMAT_ERRORS:
      return "the header does not match the file (a wrong length or number of data records, "
             "a truncated file or a damaged header)";
    case EDFLIB_FILE_READ_ERROR:
      return "cannot read the file";
    case EDFLIB_FILE_IS_DISCONTINUOUS:
      return "discontinuous EDF+D/BDF+D files are not supported";
    case EDFLIB_MAXFILES_REACHED:
      return "too many EDF files are open";
    case EDFLIB_FILE_ALREADY_OPENED:
      return "the file is already open";
    case EDFLIB_MALLOC_ERROR:
      return "not enough memory to open the file";
    default:
      return "not an EDF, EDF+, BDF or BDF+ file (error " + std::to_string(code) + ")";
  }
}

// EDFlib's refusal of a file, with its error code.
struct EdfRefused {
  int code;
};

// Closes the EDFlib handle on every way out.
class OpenEdf {
 public:
  explicit OpenEdf(const std::string& path) : header_(std::make_unique<edf_hdr_struct>()) {
    // EDFlib would wait for ever on a FIFO nobody writes to.
    refuseSpecialFile(path);
    if (edfopen_file_readonly(path.c_str(), header_.get(), EDFLIB_DO_NOT_READ_ANNOTATIONS) < 0) {
      throw EdfRefused{header_->filetype};
    }
  }
  ~OpenEdf() { edfclose_file(header_->handle); }
  OpenEdf(const OpenEdf&) = delete;
  OpenEdf& operator=(const OpenEdf&) = delete;

  const edf_hdr_struct& header() const { return *header_; }
  int handle() const { return header_->handle; }

 private:
  std::unique_ptr<edf_hdr_struct> header_;  // some 200 kB: too large for the stack
};

std::string trimmed(const char* text) {
  std::string value(text);
  while (!value.empty() && value.back() == ' ') value.pop_back();
  return value;
}

// Millivolts for ECG in volts, millivolts or microvolts; other units stay.
double toMillivolts(const std::string& units) {
  const double scale = millivoltsPer(units);
  return scale == 0.0 ? 1.0 : scale;
}

// Runs `read` through EDFlib; a file EDFlib refuses only for text fields
// that are not plain ASCII goes to `lenient` with those fields instead.
template <typename Read, typename Lenient>
auto readOrLenient(const std::string& path, Read read, Lenient lenient) {
  try {
    return read();
  } catch (const EdfRefused& refused) {
    const std::string problem = openProblem(refused.code);
    if (refused.code != EDFLIB_FILE_CONTAINS_FORMAT_ERRORS) throw RecordingError(path, problem);
    const std::vector<std::string> fields = nonAsciiEdfFields(path);
    const std::optional<std::string> structure = edfHeaderProblem(path);
    if (fields.empty()) throw RecordingError(path, structure.value_or(problem));
    // The lenient reader forgives the text fields only: a header whose
    // sizes the file does not hold (a record count of 99,999,999) or whose
    // records have gaps is refused before BioSig reads it.
    if (structure) throw RecordingError(path, *structure);
    return lenient(problem, fields);
  }
}

SamplingRate channelRate(const edf_hdr_struct& header, const edf_param_struct& signal) {
  return reducedRate(signal.smp_in_datarecord * kTicksPerSecond, header.datarecord_duration);
}

std::vector<ChannelListing> listStrictEdfChannels(const std::string& path) {
  const OpenEdf edf(path);
  const edf_hdr_struct& header = edf.header();
  std::vector<ChannelListing> channels;
  for (int i = 0; i < header.edfsignals; ++i) {
    const edf_param_struct& signal = header.signalparam[i];
    // A channel without samples has no rate; it matches no lead.
    const bool sampled = signal.smp_in_datarecord > 0 && header.datarecord_duration > 0;
    channels.push_back(
        {trimmed(signal.label), sampled ? channelRate(header, signal) : SamplingRate{0, 1}});
  }
  return channels;
}

std::vector<std::string> edfLabels(const edf_hdr_struct& header) {
  std::vector<std::string> labels;
  for (int i = 0; i < header.edfsignals; ++i)
    labels.push_back(trimmed(header.signalparam[i].label));
  return labels;
}

// Channel `index` of an open file.
Recording readStrictEdfChannel(const OpenEdf& edf, int index, std::span<const std::string> labels,
                               const std::string& path) {
  const edf_hdr_struct& header = edf.header();
  const edf_param_struct& signal = header.signalparam[index];
  if (signal.smp_in_datarecord <= 0 || header.datarecord_duration <= 0) {
    throw RecordingError(path, "the sampling rate of channel \"" + labels[index] + "\" is 0");
  }

  Recording recording;
  recording.file = path;
  recording.channel = labels[index];
  recording.rate = channelRate(header, signal);
  const std::string units = trimmed(signal.physdimension);
  const double scale = toMillivolts(units);
  recording.units = scale == 1.0 ? units : "mV";
  // EDF maps the digital range linearly onto the physical one.
  const double digitalSpan = static_cast<double>(signal.dig_max) - signal.dig_min;
  const double physicalSpan = (signal.phys_max - signal.phys_min) * scale;
  if (digitalSpan <= 0 || physicalSpan == 0) {
    throw RecordingError(
        path, "channel \"" + labels[index] + "\" has an empty physical or digital range");
  }
  const double largest = std::max(std::abs(signal.phys_min), std::abs(signal.phys_max)) * scale;
  if (!(largest <= kLargestPhysicalValue)) {
    throw RecordingError(path, "channel \"" + labels[index] + "\" has a physical range beyond " +
                                   std::to_string(static_cast<long long>(kLargestPhysicalValue)));
  }
  recording.gain = digitalSpan / physicalSpan;
  recording.baseline = signal.dig_min - signal.phys_min * scale * recording.gain;

  const auto count = static_cast<std::size_t>(signal.smp_in_file);
  if (count == 0) throw RecordingError(path, "channel \"" + labels[index] + "\" holds no samples");
  recording.values.resize(count);
  constexpr std::size_t kBlock = 1 << 16;
  for (std::size_t done = 0; done < count;) {
    const int want = static_cast<int>(std::min(kBlock, count - done));
    const int got =
        edfread_digital_samples(edf.handle(), index, want, recording.values.data() + done);
    if (got != want) throw RecordingError(path, "the file ends before its last data record");
    done += static_cast<std::size_t>(got);
  }
  return recording;
}

Recording readStrictEdf(const std::string& path, const ChannelRequest& request) {
  const OpenEdf edf(path);
  const std::vector<std::string> labels = edfLabels(edf.header());
  const auto index =
      static_cast<int>(chooseChannel(labels, request, path, WithoutEcgLabel::refuse));
  return readStrictEdfChannel(edf, index, labels, path);
}

// Several channels through one open file: opening an EDF+ file reads its
// annotations through every data record, once per open.
std::vector<Recording> readStrictEdfChannels(const std::string& path,
                                             std::span<const std::size_t> numbers) {
  const OpenEdf edf(path);
  const std::vector<std::string> labels = edfLabels(edf.header());
  std::vector<Recording> recordings;
  for (const std::size_t number : numbers) {
    if (number >= labels.size()) {
      throw RecordingError(path, "the file has no channel " + std::to_string(number));
    }
    recordings.push_back(readStrictEdfChannel(edf, static_cast<int>(number), labels, path));
  }
  return recordings;
}

}  // namespace

std::vector<ChannelListing> listEdfChannels(const std::string& path) {
  return readOrLenient(
      path, [&path] { return listStrictEdfChannels(path); },
      [&path](const std::string& problem, std::span<const std::string> fields) {
        return listRefusedEdfChannels(path, problem, fields);
      });
}

Recording readEdfRecording(const std::string& path, const ChannelRequest& request) {
  return readOrLenient(
      path, [&] { return readStrictEdf(path, request); },
      [&](const std::string& problem, std::span<const std::string> fields) {
        return readRefusedEdf(path, request, problem, fields);
      });
}

std::vector<Recording> readEdfRecordings(const std::string& path,
                                         std::span<const std::size_t> numbers) {
  return readOrLenient(
      path, [&] { return readStrictEdfChannels(path, numbers); },
      [&](const std::string& problem, std::span<const std::string> fields) {
        std::vector<Recording> recordings;
        for (const std::size_t number : numbers) {
          recordings.push_back(readRefusedEdf(path, {std::to_string(number)}, problem, fields));
        }
        return recordings;
      });
}

}  // namespace rrscope::recordings
