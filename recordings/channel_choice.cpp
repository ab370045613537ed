#include "recordings/channel_choice.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

#include "recordings/recording_error.h"

namespace rrscope::recordings {
namespace {

std::string upperCase(std::string_view text) {
  std::string upper(text);
  std::ranges::transform(upper, upper.begin(),
                         [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper;
}

// The label cut into runs of letters and digits: "EKG-V2" gives EKG, V2.
std::vector<std::string> labelWords(std::string_view label) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : upperCase(label)) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(std::move(word));
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

bool isEcgWord(std::string_view word) {
  static constexpr std::string_view kLeads[] = {"ECG", "EKG", "MLII", "II", "V1",
                                                "V2",  "V3",  "V4",   "V5", "V6"};
  if (word.starts_with("ECG") || word.starts_with("EKG")) return true;
  return std::ranges::find(kLeads, word) != std::end(kLeads);
}

std::optional<std::size_t> channelNumber(std::string_view text) {
  std::size_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return {};
  return number;
}

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string labelList(std::span<const std::string> labels) {
  std::string list;
  for (const std::string& label : labels) {
    if (!list.empty()) list += ", ";
    list += "\"" + label + "\"";
  }
  return list.empty() ? "none" : list;
}

}  // namespace

bool looksLikeEcg(std::string_view label) {
  return std::ranges::any_of(labelWords(label), isEcgWord);
}

std::size_t chooseChannel(std::span<const std::string> labels, const ChannelRequest& request,
                          std::string_view file, WithoutEcgLabel fallback) {
  if (labels.empty()) throw RecordingError(file, "holds no signal");
  if (!request.text) {
    const auto ecg = std::ranges::find_if(labels, looksLikeEcg);
    if (ecg != labels.end()) return static_cast<std::size_t>(ecg - labels.begin());
    if (fallback == WithoutEcgLabel::takeFirst) return 0;
    throw RecordingError(file, "no channel looks like ECG (channels: " + labelList(labels) +
                                   "); choose one with --signal N or --signal LABEL");
  }
  if (const auto number = channelNumber(*request.text)) {
    if (*number < labels.size()) return *number;
    throw RecordingError(file, "has " + std::to_string(labels.size()) + " channels; channel " +
                                   *request.text + " does not exist");
  }
  const std::string wanted = upperCase(trimmed(*request.text));
  const auto match = std::ranges::find_if(
      labels, [&wanted](const std::string& label) { return upperCase(trimmed(label)) == wanted; });
  if (match != labels.end()) return static_cast<std::size_t>(match - labels.begin());
  throw RecordingError(file, "has no channel labelled \"" + *request.text +
                                 "\" (channels: " + labelList(labels) + ")");
}

}  // namespace rrscope::recordings
